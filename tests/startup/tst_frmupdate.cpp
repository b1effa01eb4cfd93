// The update prompt: its layout, "No", and "Yes" downloading the installer, starting it once when
// the vendor signed it for the announced release and ending the program, or asking again when that
// fails; Escape or closing it while it downloads.

#include "startup/filedownloader.h"
#include "startup/frmupdate.h"
#include "startuprig.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace kivaro;
using namespace kivaro::test;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

// An installer that leaves one line in `marker` each time it runs, padded to four pieces of download.
constexpr qsizetype InstallerBytes = 4 * FileDownloader::ChunkBytes;
QByteArray installerScript(const QString &marker)
{
    QByteArray script = "#!/bin/sh\necho started >> '" + QFile::encodeName(marker) + "'\n#";
    script += QByteArray(InstallerBytes - script.size() - 1, 'x') + "\n";
    return script;
}

const QByteArray ForRelease4 = "release=4 file:NewVers.exe";
const QByteArray Genuine = installerScript(QStringLiteral("/nonexistent/runs"));

// A signature for a body, made with the vendor's key (the first argument).
using Sign = std::function<QByteArray(const demo::Signer &, const QByteArray &)>;

Sign signedFor(const char *trustedComment)
{
    return [trustedComment](const demo::Signer &signer, const QByteArray &body) {
        return signer.sign(body, trustedComment);
    };
}

// The prompt on its own for release 4, against the rig's vendor site, recording what it starts and
// when it ends.
struct UpdateRig
{
    StartupRig rig;
    QStringList events;
    frmUpdate form { rig.windows->settings(), [this] {
                        events.append(QStringLiteral("ended"));
                    } };
    QStringList started;
    QFile::Permissions startedWith;
    bool starterWorks = true;

    UpdateRig()
    {
        form.setAnnouncedRelease(QStringLiteral("4"));
        form.setProcessStarter([this](QFile &program) {
            started.append(program.fileName());
            startedWith = program.permissions();
            events.append(QStringLiteral("start"));
            return starterWorks && frmUpdate::startDetached(program);
        });
        form.show();
    }

    // The installer's signature, then the installer.
    void serve(const QByteArray &installer, const QByteArray &trustedComment = ForRelease4)
    {
        rig.vendor.addReply(rig.signatureOf(installer, trustedComment));
        rig.vendor.addReply(StartupRig::served(installer));
    }
};

} // namespace

Q_DECLARE_METATYPE(Sign)

class TestFrmUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("heading") << QStringLiteral("Label1") << QRect(64, 2, 89, 32)
                                 << QStringLiteral("Update");
        QTest::newRow("question")
            << QStringLiteral("Label2") << QRect(8, 48, 201, 65)
            << QStringLiteral(
                   "There's a new verion availible, if you want to keep using this software, it has to "
                   "be installed, do you want to install the new version?");
        QTest::newRow("no") << QStringLiteral("btnNEE") << QRect(8, 144, 97, 25) << QStringLiteral("No");
        QTest::newRow("yes") << QStringLiteral("btnJa") << QRect(112, 144, 97, 25) << QStringLiteral("Yes");
        QTest::newRow("bar") << QStringLiteral("Bar") << QRect(8, 144, 201, 25) << QString();
    }

    void layout()
    {
        QFETCH(QString, part);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        UpdateRig u;
        QCOMPARE(u.form.size(), QSize(217, 178));
        QVERIFY(u.form.windowFlags() & Qt::FramelessWindowHint);
        auto *widget = u.form.findChild<QWidget *>(part);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), geometry);
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            QCOMPARE(label->text(), text);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            // The whole question fits in its box.
            QVERIFY(label->heightForWidth(geometry.width()) <= geometry.height() || !label->wordWrap());
        } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->text(), text);
            QVERIFY(button->isVisible());
        } else {
            QVERIFY(!u.form.Bar->isVisible());
            QCOMPARE(u.form.Bar->minimum(), 0);
            QCOMPARE(u.form.Bar->maximum(), 100);
        }
    }

    void no()
    {
        UpdateRig u;
        QTest::mouseClick(u.form.btnNEE, Qt::LeftButton);
        QCOMPARE(u.events, QStringList { QStringLiteral("ended") });
        QCOMPARE(u.rig.vendor.requests().size(), 0);
    }

    // The signature first, then the installer into a private folder; once verified it is made
    // executable, started exactly once and not waited for, its folder goes, and the program ends.
    void yesStartsTheInstallerOnce()
    {
        QTemporaryDir markers; // outside the rig's temporary directory
        UpdateRig u;
        const QString marker = markers.filePath(QStringLiteral("runs"));
        u.serve(installerScript(marker));
        bool barInPlaceOfButtons = true;
        connect(u.form.FD, &FileDownloader::DownloadProgress, &u.form, [&] {
            barInPlaceOfButtons = barInPlaceOfButtons && u.form.Bar->isVisible() && !u.form.btnJa->isVisible()
                && !u.form.btnNEE->isVisible();
        });
        QSignalSpy bar(u.form.Bar, &QProgressBar::valueChanged);

        QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
        QCOMPARE(u.rig.vendor.requests().size(), 2);
        QVERIFY(u.rig.vendor.requests().at(0).startsWith("GET /NewVers.exe.minisig HTTP/1.0\r\n"));
        QVERIFY(u.rig.vendor.requests().at(1).startsWith("GET /NewVers.exe HTTP/1.0\r\n"));
        QCOMPARE(u.events, (QStringList { QStringLiteral("start"), QStringLiteral("ended") }));
        QVERIFY(barInPlaceOfButtons);
        QList<int> values;
        for (const QList<QVariant> &arguments : bar)
            values.append(arguments.at(0).toInt());
        QCOMPARE(values, (QList<int> { 25, 50, 75, 100 }));

        const QFileInfo installer(u.started.constFirst());
        QCOMPARE(installer.fileName(), QStringLiteral("NewVers.exe"));
        QCOMPARE(QFileInfo(installer.absolutePath()).absolutePath(), u.rig.temp.path());
        QCOMPARE(u.startedWith & 0x7777,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                     | QFile::ExeUser);
        // Its folder went as soon as it started; it runs all the same, from the file it was
        // checked in.
        QCOMPARE(u.rig.leftovers(), QStringList());
        QFile runs(marker);
        QTRY_VERIFY(runs.exists() && runs.size() > 0);
        QVERIFY(runs.open(QIODevice::ReadOnly));
        QCOMPARE(runs.readAll(), QByteArray("started\n"));
    }

    // What is served as the installer, and its signature as the rig's vendor key makes it for the
    // body (empty: none, so 404); the installer is never asked for when the reply has no head.
    void failureAsksAgain_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<Sign>("sign");
        QTest::addColumn<bool>("starterWorks");
        QTest::addColumn<int>("starts");
        QTest::addColumn<int>("barPeak");
        auto row = [](const char *name, const Reply &reply, int starts, int barPeak,
                      const Sign &sign = signedFor(ForRelease4), bool starterWorks = true) {
            QTest::newRow(name) << reply << sign << starterWorks << starts << barPeak;
        };
        const QByteArray hashes(3000, '#');
        row("missing", ScriptedHttpServer::reply("HTTP/1.0 404 Not Found", "gone"), 0, 0);
        row("server closes early", { "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n", hashes }, 0, 60);
        row("more than announced", { "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n", hashes }, 0, 100);
        row("no length, so no file", { "HTTP/1.0 200 OK\r\n\r\n", "#!/bin/sh\n" }, 0, 0);
        row("not a program", ScriptedHttpServer::reply("HTTP/1.0 200 OK", "MZ\x90"), 1, 100);
        row("cannot start", ScriptedHttpServer::reply("HTTP/1.0 200 OK", "#!/bin/sh\n"), 1, 100,
            signedFor(ForRelease4), false);

        // Forged, altered, replayed or oversized: never started.
        const Reply served = StartupRig::served(Genuine);
        QByteArray tampered = Genuine;
        tampered.replace("echo started", "echo pwned!!");
        const auto edited = [](const char *comment, std::function<void(QByteArray &)> edit) {
            return Sign([comment, edit](const demo::Signer &signer, const QByteArray &body) {
                QByteArray signature = signer.sign(body, comment);
                edit(signature);
                return signature;
            });
        };
        row("unsigned", {}, 0, 0, [](const demo::Signer &, const QByteArray &) { return QByteArray(); });
        row("signature cut short", served, 0, 100, edited(ForRelease4, [](QByteArray &s) { s.chop(20); }));
        row("signed by another key", served, 0, 100, [](const demo::Signer &, const QByteArray &body) {
            return demo::Signer().sign(body, ForRelease4);
        });
        row("file tampered with", StartupRig::served(tampered), 0, 100,
            [](const demo::Signer &signer, const QByteArray &) { return signer.sign(Genuine, ForRelease4); });
        row("trusted comment tampered with", served, 0, 100,
            edited("release=3 file:NewVers.exe", [](QByteArray &s) { s.replace("release=3", "release=4"); }));
        row("older release replayed", served, 0, 100, signedFor("release=3 file:NewVers.exe"));
        row("release 40 is not release 4", served, 0, 100, signedFor("release=40 file:NewVers.exe"));
        row("no release named", served, 0, 100, signedFor("file:NewVers.exe"));
        row("signature larger than 4 KiB", {}, 0, 0,
            edited(ForRelease4, [](QByteArray &s) { s += QByteArray(4096, '\n'); }));
        row("installer larger than 512 MiB",
            { "HTTP/1.0 200 OK\r\nContent-Length: 536870913\r\n\r\n", Genuine }, 0, 0,
            [](const demo::Signer &signer, const QByteArray &) { return signer.sign(Genuine, ForRelease4); });
    }

    // The design leaves the window without buttons after a failure; here it asks again, nothing of
    // the failed download stays behind, and a second "Yes" that succeeds still starts the installer
    // once.
    void failureAsksAgain()
    {
        QFETCH(Reply, reply);
        QFETCH(Sign, sign);
        QFETCH(bool, starterWorks);
        QFETCH(int, starts);
        QFETCH(int, barPeak);
        UpdateRig u;
        u.starterWorks = starterWorks;
        const QByteArray signature = sign(u.rig.signer, reply.body);
        u.rig.vendor.addReply(signature.isEmpty() ? ScriptedHttpServer::reply("HTTP/1.0 404 Not Found", "no")
                                                  : StartupRig::served(signature));
        if (!reply.head.isEmpty())
            u.rig.vendor.addReply(reply);
        int peak = 0;
        connect(u.form.Bar, &QProgressBar::valueChanged, &u.form,
                [&peak](int value) { peak = std::max(peak, value); });

        QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
        QCOMPARE(u.rig.vendor.requests().size(), reply.head.isEmpty() ? 1 : 2);
        QCOMPARE(u.started.size(), starts);
        QCOMPARE(peak, barPeak);
        QVERIFY(!u.events.contains(QStringLiteral("ended")));
        QVERIFY(u.form.btnJa->isVisible());
        QVERIFY(u.form.btnNEE->isVisible());
        QVERIFY(!u.form.Bar->isVisible());
        QCOMPARE(u.rig.leftovers(), QStringList());

        QTemporaryDir markers;
        const QString marker = markers.filePath(QStringLiteral("runs"));
        u.starterWorks = true;
        u.serve(installerScript(marker));
        QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
        QCOMPARE(u.started.size(), starts + 1);
        QCOMPARE(u.events.constLast(), QStringLiteral("ended"));
        QCOMPARE(u.events.count(QStringLiteral("ended")), 1);
        QTRY_VERIFY(QFileInfo(marker).size() > 0);
    }

    void decline_data()
    {
        QTest::addColumn<bool>("downloading");
        QTest::addColumn<bool>("escape"); // else the window is closed
        QTest::newRow("Escape while asking") << false << true;
        QTest::newRow("closed while asking") << false << false;
        QTest::newRow("Escape while downloading") << true << true;
        QTest::newRow("closed while downloading") << true << false;
    }

    // Escape or closing the prompt is "No"; during the download it first stops it and removes what
    // had arrived.
    void decline()
    {
        QFETCH(bool, downloading);
        QFETCH(bool, escape);
        UpdateRig u;
        const QByteArray &installer = Genuine;
        u.rig.vendor.addReply(u.rig.signatureOf(installer, ForRelease4));
        // Half of it, then silence.
        u.rig.vendor.addReply(
            Reply { "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(installer.size()) + "\r\n\r\n",
                    installer.left(installer.size() / 2), 0, true });
        const auto decline = [&] {
            if (escape)
                QTest::keyClick(&u.form, Qt::Key_Escape);
            else
                u.form.close();
        };
        if (downloading) {
            QStringList partFiles;
            connect(
                u.form.FD, &FileDownloader::DownloadProgress, &u.form,
                [&] {
                    if (!partFiles.isEmpty())
                        return;
                    partFiles = u.rig.leftovers();
                    decline();
                },
                Qt::QueuedConnection);
            QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
            QCOMPARE(partFiles.size(), 1); // the installer's folder, holding what had arrived
        } else {
            decline();
        }
        QCOMPARE(u.events, QStringList { QStringLiteral("ended") });
        QCOMPARE(u.started, QStringList());
        QCOMPARE(u.rig.vendor.requests().size(), downloading ? 2 : 0);
        QCOMPARE(u.rig.leftovers(), QStringList());
    }
};

QTEST_MAIN(TestFrmUpdate)
#include "tst_frmupdate.moc"
