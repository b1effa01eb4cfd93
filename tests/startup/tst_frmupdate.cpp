// The update prompt: its layout, "No", and "Yes" downloading the installer, starting it once and
// ending the program, or asking again when that fails.

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

// The prompt on its own, against the rig's vendor site, recording what it starts and when it ends.
struct UpdateRig
{
    StartupRig rig;
    QStringList events;
    frmUpdate form { rig.windows->settings(), [this] {
                        events.append(QStringLiteral("ended"));
                    } };
    QStringList started;
    bool starterWorks = true;

    UpdateRig()
    {
        form.setProcessStarter([this](const QString &program) {
            started.append(program);
            events.append(QStringLiteral("start"));
            return starterWorks && frmUpdate::startDetached(program);
        });
        form.show();
    }
};

} // namespace

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

    // The installer is downloaded into a private folder, made executable, started exactly once and
    // not waited for; then the program ends.
    void yesStartsTheInstallerOnce()
    {
        UpdateRig u;
        QTemporaryDir markers;
        const QString marker = markers.filePath(QStringLiteral("runs"));
        u.rig.vendor.addReply(ScriptedHttpServer::reply("HTTP/1.0 200 OK", installerScript(marker)));
        bool barInPlaceOfButtons = true;
        connect(u.form.FD, &FileDownloader::DownloadProgress, &u.form, [&] {
            barInPlaceOfButtons = barInPlaceOfButtons && u.form.Bar->isVisible() && !u.form.btnJa->isVisible()
                && !u.form.btnNEE->isVisible();
        });
        QSignalSpy bar(u.form.Bar, &QProgressBar::valueChanged);

        QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
        QVERIFY(u.rig.vendor.requests().constFirst().startsWith("GET /NewVers.exe HTTP/1.0\r\n"));
        QCOMPARE(u.events, (QStringList { QStringLiteral("start"), QStringLiteral("ended") }));
        QVERIFY(barInPlaceOfButtons);
        QList<int> values;
        for (const QList<QVariant> &arguments : bar)
            values.append(arguments.at(0).toInt());
        QCOMPARE(values, (QList<int> { 25, 50, 75, 100 }));

        const QFileInfo installer(u.started.constFirst());
        QCOMPARE(installer.fileName(), QStringLiteral("NewVers.exe"));
        QCOMPARE(QFileInfo(installer.absolutePath()).absolutePath(), u.rig.temp.path());
        QCOMPARE(QFileInfo(installer.absolutePath()).permissions() & 0x0077, QFile::Permissions());
        QCOMPARE(installer.permissions() & 0x7777,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                     | QFile::ExeUser);
        QFile runs(marker);
        QTRY_VERIFY(runs.exists() && runs.size() > 0);
        QVERIFY(runs.open(QIODevice::ReadOnly));
        QCOMPARE(runs.readAll(), QByteArray("started\n"));
    }

    void failureAsksAgain_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<bool>("starterWorks");
        QTest::addColumn<int>("starts");
        QTest::addColumn<int>("barPeak");
        const QByteArray body(3000, '#');
        QTest::newRow("missing") << ScriptedHttpServer::reply("HTTP/1.0 404 Not Found", "gone") << true << 0
                                 << 0;
        Reply early;
        early.head = "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n";
        early.body = body;
        QTest::newRow("server closes early") << early << true << 0 << 60;
        Reply tooMuch;
        tooMuch.head = "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n";
        tooMuch.body = body;
        QTest::newRow("more than announced") << tooMuch << true << 0 << 100;
        Reply noLength;
        noLength.head = "HTTP/1.0 200 OK\r\n\r\n";
        noLength.body = "#!/bin/sh\n";
        QTest::newRow("no length, so no file") << noLength << true << 1 << 0;
        QTest::newRow("not a program")
            << ScriptedHttpServer::reply("HTTP/1.0 200 OK", "MZ\x90") << true << 1 << 100;
        QTest::newRow("cannot start")
            << ScriptedHttpServer::reply("HTTP/1.0 200 OK", "#!/bin/sh\n") << false << 1 << 100;
    }

    // The design leaves the window without buttons after a failure; here it asks again, and a
    // second "Yes" that succeeds still starts the installer once.
    void failureAsksAgain()
    {
        QFETCH(Reply, reply);
        QFETCH(bool, starterWorks);
        QFETCH(int, starts);
        QFETCH(int, barPeak);
        UpdateRig u;
        u.starterWorks = starterWorks;
        u.rig.vendor.addReply(reply);
        int peak = 0;
        connect(u.form.Bar, &QProgressBar::valueChanged, &u.form,
                [&peak](int value) { peak = std::max(peak, value); });

        QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
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
        u.rig.vendor.addReply(ScriptedHttpServer::reply("HTTP/1.0 200 OK", installerScript(marker)));
        QTest::mouseClick(u.form.btnJa, Qt::LeftButton);
        QCOMPARE(u.started.size(), starts + 1);
        QCOMPARE(u.events.constLast(), QStringLiteral("ended"));
        QCOMPARE(u.events.count(QStringLiteral("ended")), 1);
        // The installer runs from the temporary directory, which the rig removes.
        QTRY_VERIFY(QFileInfo(marker).size() > 0);
    }
};

QTEST_MAIN(TestFrmUpdate)
#include "tst_frmupdate.moc"
