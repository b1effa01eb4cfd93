// The start-up: the splash, the version check against the vendor's site, and what follows it.

#include "demosite.h"
#include "engine/form2.h"
#include "mainwindow/form1.h"
#include "startup/frmsplash.h"
#include "startup/frmupdate.h"
#include "startuprig.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>

using namespace kivaro;
using namespace kivaro::test;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

Reply versionFile(const QByteArray &content)
{
    return ScriptedHttpServer::reply("HTTP/1.0 200 OK", content);
}

// What the signature row stands for: the version file's valid signature (null), no signature at
// all (empty), or these bytes.
const QByteArray ValidSignature;
const QByteArray NoSignature("");

} // namespace

class TestFrmSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The --verbose lines, where each refusal says why.
        QLoggingCategory::setFilterRules(QStringLiteral("kivaro.startup.info=true"));
    }

    void versionCheck_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QString>("release"); // what the prompt is for; empty: no prompt
        QTest::addColumn<QString>("why"); // what the --verbose line says
        auto row = [](const char *name, const Reply &reply, const char *release, const QString &why = {},
                      const QByteArray &signature = ValidSignature) {
            QTest::newRow(name) << reply << signature << QString::fromLatin1(release) << why;
        };
        const QString newer = QStringLiteral("newer release 4");
        row("4", versionFile("4"), "4", newer);
        row("3.5", versionFile("3.5\r\n"), "3.5", QStringLiteral("newer release 3.5"));
        row("3", versionFile("3\r\n"), "", QStringLiteral("release 3, not newer"));
        row("2", versionFile("2\r\n"), "");
        row("4,more", versionFile("4,more text\r\n"), "4", newer);
        row("4 then more lines", versionFile("4\r\n2\r\nrelease notes\r\n"), "4", newer);
        row("3 then 4 on the next line", versionFile("3\n4\n"), "");
        row("blanks before 4", versionFile(" \t 4\r\n"), "4", newer);
        row("3.0", versionFile("3.0"), "");
        row("just above 3", versionFile("3.0000000000000000001"), "3.0000000000000000001");
        row("10", versionFile("10"), "10");
        row("-4", versionFile("-4"), "");
        row("missing", ScriptedHttpServer::reply("HTTP/1.0 404 Not Found", "<h1>404</h1>"), "",
            QStringLiteral("no release number"));
        row("empty", versionFile(""), "");
        row("junk", versionFile("<html><body>Moved</body></html>"), "", QStringLiteral("no release number"));
        row("4 with junk after it", versionFile("4abc"), "");
        row("inf", versionFile("inf"), "");
        row("binary",
            versionFile(QByteArray("\0\xff"
                                   "4",
                                   3)),
            "");
        row("closed without answer", Reply {}, "");

        // Forged announcements: none of them brings the prompt.
        const QString refused = QStringLiteral("no release number: its signature is refused (");
        const QByteArray four = "4\r\n";
        row("4, unsigned", versionFile(four), "", refused + QStringLiteral("no signature)"), NoSignature);
        row("4, signed by another key", versionFile(four), "", refused + QStringLiteral("signed with key"),
            demo::Signer().sign(four, "file:version.dll"));
        row("4, with the signature of 3", versionFile(four), "",
            refused + QStringLiteral("the signature does not match the file)"), "<signature of 3>");
        row("4, signature larger than 4 KiB", versionFile(four), "",
            refused + QStringLiteral("no signature)"), "<padded>");
        row("4, version file larger than 4 KiB", versionFile(four + QByteArray(4096, '#')), "",
            QStringLiteral("no release number"));
    }

    // Above 3 the update window is all that starts, and only when the vendor signed the version
    // file; otherwise the default search starts and the splash shows. The local copies of the
    // version file and its signature never outlive the check.
    void versionCheck()
    {
        QFETCH(Reply, reply);
        QFETCH(QByteArray, signature);
        QFETCH(QString, release);
        const bool update = !release.isEmpty();
        QFETCH(QString, why);
        StartupRig rig;
        const QByteArray valid = rig.signer.sign(reply.body, "file:version.dll");
        if (signature.isNull())
            signature = valid;
        else if (signature == "<signature of 3>")
            signature = rig.signer.sign("3\r\n", "file:version.dll");
        else if (signature == "<padded>")
            signature = valid + QByteArray(4096, '\n');
        // A version file that arrived is followed by the request for its signature.
        const bool arrives
            = reply.head.startsWith("HTTP/1.0 200") && !reply.body.isEmpty() && reply.body.size() <= 4096;
        if (!reply.head.isEmpty())
            rig.vendor.addReply(reply);
        if (arrives)
            rig.vendor.addReply(signature.isEmpty()
                                    ? ScriptedHttpServer::reply("HTTP/1.0 404 Not Found", "no")
                                    : StartupRig::served(signature));
        if (!why.isEmpty())
            QTest::ignoreMessage(QtInfoMsg,
                                 QRegularExpression(QStringLiteral("^version check: .* gives ")
                                                    + QRegularExpression::escape(why)));

        frmSplash &splash = rig.windows->splash();
        if (!reply.head.isEmpty()) {
            QCOMPARE(rig.vendor.requests().size(), arrives ? 2 : 1);
            QVERIFY(rig.vendor.requests().constFirst().startsWith("GET /version.dll HTTP/1.0\r\n"));
            if (arrives)
                QVERIFY(rig.vendor.requests().at(1).startsWith("GET /version.dll.minisig HTTP/1.0\r\n"));
        }
        QCOMPARE(rig.leftovers(), QStringList());
        QCOMPARE(rig.windows->hasUpdateWindow(), update);
        if (update) {
            QVERIFY(rig.windows->updateWindow().isVisible());
            // The installer must be signed for the release the verified file announced.
            QCOMPARE(rig.windows->updateWindow().announcedRelease(), release);
            QVERIFY(!splash.isVisible());
            QTRY_VERIFY(!rig.windows->hasSplash());
            QVERIFY(!rig.windows->hasForm2());
            QVERIFY(!rig.windows->hasForm1());
            QCOMPARE(rig.site.received().size(), 0);
        } else {
            QVERIFY(splash.isVisible());
            QVERIFY(splash.Timer1->isActive());
            QVERIFY(rig.defaultSearchStarted());
            QVERIFY(!rig.windows->form1().isVisible());
        }
    }

    void pictureAndTimer()
    {
        StartupRig rig;
        rig.windows->setSplashInterval(frmSplash::Timer1IntervalMs);
        rig.vendor.addReply(versionFile("3"));
        rig.vendor.addReply(rig.signatureOf("3", "file:version.dll"));
        frmSplash &splash = rig.windows->splash();
        QCOMPARE(splash.size(), QSize(500, 300));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.Picture1->geometry(), QRect(0, 0, 500, 300));
        const QImage picture = splash.Picture1->pixmap().toImage();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture, QPixmap(QStringLiteral(":/splash.png")).toImage());
        QCOMPARE(splash.Timer1->interval(), 6000);
        QVERIFY(splash.Timer1->isActive());
        // Closing it by hand would leave the program without a window.
        QVERIFY(!splash.close());
        QVERIFY(splash.isVisible());

        splash.Timer1_Timer();
        QVERIFY(rig.windows->form1().isVisible());
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.Timer1->isActive());
        QTRY_VERIFY(!rig.windows->hasSplash());
    }

    void timerShowsTheMainWindow()
    {
        StartupRig rig;
        rig.windows->setSplashInterval(50);
        rig.vendor.addReply(versionFile("2"));
        rig.vendor.addReply(rig.signatureOf("2", "file:version.dll"));
        rig.windows->splash();
        QVERIFY(!rig.windows->form1().isVisible());
        QTRY_VERIFY(rig.windows->form1().isVisible());
        QTRY_VERIFY(!rig.windows->hasSplash());
        QVERIFY(!rig.windows->hasUpdateWindow());
        QCOMPARE(rig.windows->form2().progressValue(), QStringLiteral("0"));
    }

    // The six seconds count from creation; a vendor's site that keeps the check waiting past them
    // is given up, and the program starts as if it had not answered.
    void silentVendorGivesWayToTheTimer()
    {
        StartupRig rig;
        constexpr int IntervalMs = 300;
        constexpr int WellBeforeTheDownloadTimeoutMs = 10'000;
        rig.windows->setSplashInterval(IntervalMs);
        Reply silent;
        silent.hold = true;
        rig.vendor.addReply(silent);

        QElapsedTimer clock;
        clock.start();
        rig.windows->splash();
        // The check waited for the timer, not for the download's own time-out.
        QVERIFY(clock.elapsed() >= IntervalMs * 9 / 10);
        QVERIFY(clock.elapsed() < WellBeforeTheDownloadTimeoutMs);
        QVERIFY(rig.windows->form1().isVisible());
        QVERIFY(!rig.windows->hasUpdateWindow());
        QVERIFY(rig.defaultSearchStarted());
        QCOMPARE(rig.leftovers(), QStringList());
        QTRY_VERIFY(!rig.windows->hasSplash());
    }

    void demoSite_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QString>("button");
        QTest::newRow("release 4, yes") << QStringLiteral("4") << QStringLiteral("btnJa");
        QTest::newRow("release 4, no") << QStringLiteral("4") << QStringLiteral("btnNEE");
        QTest::newRow("release 3") << QStringLiteral("3") << QString();
    }

    // The demo site announces a release and serves an installer that can really be started.
    void demoSite()
    {
        QFETCH(QString, release);
        QFETCH(QString, button);
        demo::DemoSite site;
        site.setRelease(release);
        QVERIFY(site.listen(0));
        StartupRig rig(QStringLiteral("http://127.0.0.1:%1").arg(site.port()), site.signer().publicKeyLine());
        rig.windows->splash();
        if (button.isEmpty()) {
            QVERIFY(!rig.windows->hasUpdateWindow());
            QVERIFY(rig.defaultSearchStarted());
            return;
        }

        frmUpdate &update = rig.windows->updateWindow();
        QStringList &events = rig.events;
        QByteArray installer;
        update.setProcessStarter([&](QFile &program) {
            installer = program.readAll();
            events.append(QFileInfo(program).isExecutable() ? QStringLiteral("started")
                                                            : QStringLiteral("not executable"));
            return true;
        });
        QTest::mouseClick(update.findChild<QPushButton *>(button), Qt::LeftButton);
        if (button == QLatin1String("btnNEE")) {
            QCOMPARE(events, QStringList { QStringLiteral("ended") });
        } else {
            QCOMPARE(events, (QStringList { QStringLiteral("started"), QStringLiteral("ended") }));
            QVERIFY(installer.startsWith("#!/bin/sh\n"));
            QVERIFY(installer.contains("release 4"));
            QCOMPARE(rig.leftovers(), QStringList());
        }
        QVERIFY(!rig.windows->hasForm1());
        QVERIFY(!rig.windows->hasForm2());
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
