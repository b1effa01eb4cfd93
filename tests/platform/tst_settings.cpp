#include "platform/settings.h"
#include "signer.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addresses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("siteAddress");
        QTest::addColumn<QString>("connectHost");
        QTest::addColumn<int>("connectPort");

        QTest::newRow("defaults") << QStringList() << QStringList() << QStringLiteral("http://www.youtube.com")
                                  << QStringLiteral("www.youtube.com") << 80;
        QTest::newRow("option with port")
            << QStringList{QStringLiteral("--site"), QStringLiteral("http://127.0.0.1:8080")} << QStringList()
            << QStringLiteral("http://127.0.0.1:8080") << QStringLiteral("127.0.0.1") << 8080;
        QTest::newRow("path and slash dropped")
            << QStringList{QStringLiteral("--site=http://127.0.0.1:9/x/")} << QStringList()
            << QStringLiteral("http://127.0.0.1:9") << QStringLiteral("127.0.0.1") << 9;
        QTest::newRow("port 80 not named") << QStringList{QStringLiteral("--site=http://localhost:80")} << QStringList()
                                           << QStringLiteral("http://localhost") << QStringLiteral("localhost") << 80;
        QTest::newRow("environment") << QStringList() << QStringList{QStringLiteral("KIVARO_SITE=http://127.0.0.2:81")}
                                     << QStringLiteral("http://127.0.0.2:81") << QStringLiteral("127.0.0.2") << 81;
        QTest::newRow("option wins over environment")
            << QStringList{QStringLiteral("--site=http://127.0.0.1:82")}
            << QStringList{QStringLiteral("KIVARO_SITE=http://127.0.0.2:81")} << QStringLiteral("http://127.0.0.1:82")
            << QStringLiteral("127.0.0.1") << 82;
    }

    void addresses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, siteAddress);
        QFETCH(QString, connectHost);
        QFETCH(int, connectPort);
        QProcessEnvironment env;
        for (const QString &pair : environment)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        const ParsedSettings parsed = parseSettings(QStringList{QStringLiteral("kivaro")} + arguments, env);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(parsed.settings.siteAddress(), siteAddress);
        QCOMPARE(parsed.settings.connectHost(), connectHost);
        QCOMPARE(int(parsed.settings.connectPort()), connectPort);
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("not http") << QStringList{QStringLiteral("--site=ftp://x")} << QStringLiteral("--site needs");
        QTest::newRow("no host") << QStringList{QStringLiteral("--vendor=http://")} << QStringLiteral("--vendor needs");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << QStringLiteral("bogus");
        QTest::newRow("missing value") << QStringList{QStringLiteral("--shop")} << QStringLiteral("shop");
        QTest::newRow("stray argument") << QStringList{QStringLiteral("extra")} << QStringLiteral("extra");
        QTest::newRow("unknown backend") << QStringList{QStringLiteral("--backend=youtube-dl")}
                                         << QStringLiteral("--backend is site or yt-dlp, not \"youtube-dl\"");
    }

    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const ParsedSettings parsed = parseSettings(QStringList{QStringLiteral("kivaro")} + arguments, {});
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
    }

    void backend_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<bool>("ytDlp");
        QTest::addColumn<QString>("command");
        const QString plain = QStringLiteral("yt-dlp");
        QTest::newRow("defaults") << QStringList() << QStringList() << false << plain;
        QTest::newRow("option") << QStringList{QStringLiteral("--backend=yt-dlp")} << QStringList() << true << plain;
        QTest::newRow("environment") << QStringList() << QStringList{QStringLiteral("KIVARO_BACKEND=yt-dlp")} << true
                                     << plain;
        QTest::newRow("option wins over environment")
            << QStringList{QStringLiteral("--backend"), QStringLiteral("site")}
            << QStringList{QStringLiteral("KIVARO_BACKEND=yt-dlp")} << false << plain;
        QTest::newRow("command from the environment")
            << QStringList() << QStringList{QStringLiteral("KIVARO_YT_DLP=/opt/yt-dlp --proxy x")} << false
            << QStringLiteral("/opt/yt-dlp --proxy x");
        QTest::newRow("command option wins")
            << QStringList{QStringLiteral("--yt-dlp"), QStringLiteral("python3 -m yt_dlp")}
            << QStringList{QStringLiteral("KIVARO_YT_DLP=x")} << false << QStringLiteral("python3 -m yt_dlp");
    }

    void backend()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(bool, ytDlp);
        QFETCH(QString, command);
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        const ParsedSettings parsed = parseSettings(QStringList{QStringLiteral("kivaro")} + arguments, env);
        QCOMPARE(parsed.error, QString());
        QCOMPARE(parsed.settings.backend == Settings::Backend::YtDlp, ytDlp);
        QCOMPARE(parsed.settings.ytDlp, command);
    }

    void vendorKey_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("keyId"); // empty: refused
        QTest::addColumn<QString>("error");
        // <line>, <line 2> and <file> stand for two made keys and a .pub file of the first.
        QTest::newRow("Kivaro's release key")
            << QStringList() << QStringList() << QStringLiteral("C354DDA645C050B6") << QString();
        QTest::newRow("the line as option")
            << QStringList { QStringLiteral("--vendor-key"), QStringLiteral("<line>") } << QStringList()
            << QStringLiteral("<id>") << QString();
        QTest::newRow("the line from the environment")
            << QStringList() << QStringList { QStringLiteral("KIVARO_VENDOR_KEY=<line>") }
            << QStringLiteral("<id>") << QString();
        QTest::newRow("option wins over environment")
            << QStringList { QStringLiteral("--vendor-key=<line>") }
            << QStringList { QStringLiteral("KIVARO_VENDOR_KEY=<line 2>") } << QStringLiteral("<id>")
            << QString();
        QTest::newRow(".pub file") << QStringList { QStringLiteral("--vendor-key=<file>") } << QStringList()
                                   << QStringLiteral("<id>") << QString();
        QTest::newRow("file that is no key")
            << QStringList { QStringLiteral("--vendor-key=<junk file>") } << QStringList() << QString()
            << QStringLiteral("--vendor-key: \"<junk file>\" is not a minisign public key");
        QTest::newRow("file far too large for a key")
            << QStringList { QStringLiteral("--vendor-key=<large file>") } << QStringList() << QString()
            << QStringLiteral("larger than 4096 bytes");
        QTest::newRow("neither key nor file")
            << QStringList { QStringLiteral("--vendor-key=RWQ-not-a-key") } << QStringList() << QString()
            << QStringLiteral(
                   "--vendor-key needs a minisign public key (the RW... line) or the path of its .pub "
                   "file, not \"RWQ-not-a-key\"");
        QTest::newRow("empty from the environment")
            << QStringList() << QStringList { QStringLiteral("KIVARO_VENDOR_KEY=") } << QString()
            << QStringLiteral("--vendor-key needs");
    }

    void vendorKey()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, keyId);
        QFETCH(QString, error);
        const demo::Signer first;
        const demo::Signer second;
        QTemporaryDir dir;
        const auto file = [&dir](const QString &name, const QByteArray &content) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::WriteOnly))
                f.write(content);
            return f.fileName();
        };
        const QList<std::pair<QString, QString>> placeholders {
            { QStringLiteral("<line 2>"), QString::fromLatin1(second.publicKeyLine()) },
            { QStringLiteral("<line>"), QString::fromLatin1(first.publicKeyLine()) },
            { QStringLiteral("<file>"), file(QStringLiteral("vendor.pub"), first.publicKeyFile()) },
            { QStringLiteral("<junk file>"),
              file(QStringLiteral("junk"), "untrusted comment: x\nnot a key\n") },
            { QStringLiteral("<large file>"),
              file(QStringLiteral("large"), first.publicKeyFile() + QByteArray(4096, '\n')) },
            { QStringLiteral("<id>"), MinisignKey::read(first.publicKeyLine())->keyIdText() },
        };
        QProcessEnvironment env;
        for (const auto &[placeholder, value] : placeholders) {
            arguments.replaceInStrings(placeholder, value);
            environment.replaceInStrings(placeholder, value);
            keyId.replace(placeholder, value);
            error.replace(placeholder, value);
        }
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        const ParsedSettings parsed
            = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, env);
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
        QCOMPARE(parsed.error.isEmpty(), !keyId.isEmpty());
        if (!keyId.isEmpty())
            QCOMPARE(parsed.settings.vendorKey.keyIdText(), keyId);
        QVERIFY(parsed.helpText.contains(QStringLiteral("--vendor-key <KEY>")));
    }

    void otherValues()
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), QStringLiteral("/home/u"));
        env.insert(QStringLiteral("KIVARO_VERBOSE"), QStringLiteral("0"));
        ParsedSettings parsed = parseSettings({QStringLiteral("kivaro")}, env);
        QCOMPARE(parsed.settings.dataDir, QStringLiteral("/home/u/.local/share/kivaro"));
        QVERIFY(!parsed.settings.verbose);
        QCOMPARE(parsed.settings.player, QStringLiteral("mpv --no-video --really-quiet"));

        env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/data"));
        env.insert(QStringLiteral("KIVARO_VERBOSE"), QStringLiteral("1"));
        env.insert(QStringLiteral("KIVARO_PLAYER"), QStringLiteral("ffplay -nodisp"));
        parsed = parseSettings({QStringLiteral("kivaro")}, env);
        QCOMPARE(parsed.settings.dataDir, QStringLiteral("/data/kivaro"));
        QVERIFY(parsed.settings.verbose);
        QCOMPARE(parsed.settings.player, QStringLiteral("ffplay -nodisp"));

        parsed = parseSettings({QStringLiteral("kivaro"), QStringLiteral("--data-dir"), QStringLiteral("/tmp/k/"),
                                QStringLiteral("--player"), QStringLiteral("cvlc"), QStringLiteral("--version")},
                               env);
        QCOMPARE(parsed.settings.dataDir, QStringLiteral("/tmp/k"));
        QCOMPARE(parsed.settings.player, QStringLiteral("cvlc"));
        QVERIFY(parsed.showVersion);
        QVERIFY(parsed.helpText.contains(QStringLiteral("--data-dir")));
        QVERIFY(parsed.helpText.contains(QStringLiteral("--backend <site|yt-dlp>")));
        QVERIFY(parsed.helpText.contains(QStringLiteral("--yt-dlp <CMD>")));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
