#include "platform/settings.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;
using kivaro::test::writeFile;

namespace {

// The command line ("--...") and the variables ("NAME=value") of a row; "{dir}" is the test's folder.
ParsedSettings parse(QStringList given, const QString &dir)
{
    QStringList arguments { QStringLiteral("kivaro") };
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), dir);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QLatin1String("/config"));
    for (QString &item : given.replaceInStrings(QLatin1String("{dir}"), dir)) {
        if (item.startsWith(QLatin1String("--")))
            arguments << item;
        else
            environment.insert(item.section(QLatin1Char('='), 0, 0), item.section(QLatin1Char('='), 1));
    }
    return parseSettings(arguments, environment);
}

// A setting as "key=value", by its key in the settings file.
QString field(const Settings &s, const QString &key)
{
    const QMap<QString, QString> fields {
        { QStringLiteral("site"), s.siteAddress() },
        { QStringLiteral("vendor"), s.vendorAddress() },
        { QStringLiteral("shop"), s.shopAddress() },
        { QStringLiteral("player"), s.player },
        { QStringLiteral("data-dir"), s.dataDir },
        { QStringLiteral("verbose"), s.verbose ? QStringLiteral("true") : QStringLiteral("false") },
        { QStringLiteral("yt-dlp"), s.ytDlp },
        { QStringLiteral("backend"),
          s.backend == Settings::Backend::YtDlp ? QStringLiteral("yt-dlp") : QStringLiteral("site") },
        { QStringLiteral("vendor-key"), s.vendorKey.keyIdText() },
    };
    return key + QLatin1Char('=') + fields.value(key, QStringLiteral("<no such key>"));
}

// A minisign public key made by hand: key id 01 02 ... 08, shown as minisign shows it.
const QString Key = QStringLiteral("RWQBAgMEBQYHCAABAgMEBQYHCAkKCwwNDg8QERITFBUWFxgZGhscHR4f");
const QString ReleaseKey = QStringLiteral("RWS2UMBFpt1Uw7cFPYu8as4CkHZMZD+IcXTuE4hE037cdeAw6G0FsSqn");

} // namespace

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
        QTest::newRow("unknown backend")
            << QStringList { QStringLiteral("--backend=youtube-dl") }
            << QStringLiteral("--backend is auto, site or yt-dlp, not \"youtube-dl\"");
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
        QVERIFY(parsed.helpText.contains(QStringLiteral("--backend <auto|site|yt-dlp>")));
        QVERIFY(parsed.helpText.contains(QStringLiteral("--yt-dlp <CMD>")));
        QVERIFY(parsed.helpText.contains(QStringLiteral("--vendor-key <KEY>")));
    }

    // The settings file {dir}/config/kivaro/kivaro.conf (XDG_CONFIG_HOME={dir}/config, HOME={dir}),
    // with the row's options and variables: what a setting ends as ("key=value"), or the error,
    // "%f" standing for the file. {dir}/key.pub holds Key; {dir}/large.pub too, with 4 KiB more.
    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QByteArray &contents, const char *expected,
                      const QStringList &given = {}) {
            QTest::newRow(name) << contents << given << QString::fromUtf8(expected);
        };
        row("site", "site = http://127.0.0.1:8080\n", "site=http://127.0.0.1:8080");
        row("shop, with a mark, comments and CR LF",
            "\xEF\xBB\xBF# mine\r\n; also\r\n\r\nshop = http://s.example\r\n", "shop=http://s.example");
        row("player as written", "player = mpv --no-video \"--title=a b\" ; quiet",
            "player=mpv --no-video \"--title=a b\"");
        row("data-dir from the home folder", "data-dir = ~/Music/kivaro/", "data-dir={dir}/Music/kivaro");
        row("verbose", "verbose = yes", "verbose=true");
        row("backend", "backend = yt-dlp", "backend=yt-dlp");
        row("yt-dlp from the home folder", "yt-dlp = ~/bin/yt-dlp --proxy x",
            "yt-dlp={dir}/bin/yt-dlp --proxy x");
        row("variable over file", "site = http://127.0.0.1:81", "site=http://127.0.0.1:82",
            { QStringLiteral("KIVARO_SITE=http://127.0.0.1:82") });
        row("option over variable and file", "site = http://127.0.0.1:81", "site=http://127.0.0.1:83",
            { QStringLiteral("--site=http://127.0.0.1:83"),
              QStringLiteral("KIVARO_SITE=http://127.0.0.1:82") });
        row("variable off over file on", "verbose = true", "verbose=false",
            { QStringLiteral("KIVARO_VERBOSE=0") });
        row("unknown key", "site = http://x\nbackground = red\n",
            "%f:2: background is not a setting of Kivaro (see kivaro --help)");
        row("an address that is not http", "\n# shop\nvendor = ftp://x\n",
            "%f:3: vendor needs an http address such as http://127.0.0.1:8080, not \"ftp://x\"");
        row("a folder from nowhere", "data-dir = music",
            "%f:1: data-dir needs a folder from the root (or from ~/), not \"music\"");
        row("no value", "player =", "%f:1: player has no value");
        row("not key = value", "site http://x", "%f:1: the line is not \"key = value\"");
        row("in a group", "[kivaro]\nsite = http://x",
            "%f:2: site stands in the group [kivaro]; the settings stand outside any group");
        row("a line that goes on on the next", "player = mpv\n  --no-video",
            "%f:2: player is given again (first on line 1); each key once, on one line");
        row("longer than the reader takes, never cut short",
            "site = http://x\nplayer = " + QByteArray(300, 'x'),
            "%f:2: the line is longer than 199 characters");
        row("a NUL byte, never a silent end",
            QByteArrayLiteral("site = http://x\nbackend = site\0\nbackend = bad"),
            "%f:2: the line holds a NUL byte: not a text file");
        row("the first fault is told", "verbose = loud\nsite http://x",
            "%f:1: verbose is true or false, not \"loud\"");
        row("bad even where an option overrides it", "backend = x",
            "%f:1: backend is auto, site or yt-dlp, not \"x\"", { QStringLiteral("--backend=site") });
        row("what the file says cannot steer the terminal", "backend = \x1b[2J\x07\rsite",
            "%f:1: backend is auto, site or yt-dlp, not \"\uFFFD[2J\uFFFD\uFFFDsite\"");
        row("too large", QByteArray(70 * 1024, '#'), "%f: larger than 65536 bytes: not a settings file");
        row("a variable names itself", "",
            "KIVARO_SHOP needs an http address such as http://127.0.0.1:8080, not \"x\"",
            { QStringLiteral("KIVARO_SHOP=x") });
        row("under the home folder without XDG_CONFIG_HOME", "", "site=http://127.0.0.1:84",
            { QStringLiteral("XDG_CONFIG_HOME=") });
        row("vendor-key: Kivaro's release key", "", "vendor-key=C354DDA645C050B6");
        row("vendor-key: the line", "", "vendor-key=807060504030201",
            { QStringLiteral("--vendor-key=") + Key });
        row("vendor-key: the line from the environment", "", "vendor-key=807060504030201",
            { QStringLiteral("KIVARO_VENDOR_KEY=") + Key });
        row("vendor-key: a .pub file, option over variable", "", "vendor-key=807060504030201",
            { QStringLiteral("--vendor-key={dir}/key.pub"),
              QStringLiteral("KIVARO_VENDOR_KEY=") + ReleaseKey });
        row("vendor-key in the file", "vendor-key = {dir}/key.pub", "vendor-key=807060504030201");
        row("vendor-key: a file that is no key", "",
            "--vendor-key: \"{dir}/.config/kivaro/kivaro.conf\" is not a minisign public key: its key line "
            "is not 42 bytes in base64",
            { QStringLiteral("--vendor-key={dir}/.config/kivaro/kivaro.conf") });
        row("vendor-key: a file far too large for a key", "",
            "--vendor-key: \"{dir}/large.pub\" is not a minisign public key: larger than 4096 bytes",
            { QStringLiteral("--vendor-key={dir}/large.pub") });
        row("vendor-key: neither key nor file", "",
            "--vendor-key needs a minisign public key (the RW... line) or the path of its .pub file, not "
            "\"RWQ-not-a-key\"",
            { QStringLiteral("--vendor-key=RWQ-not-a-key") });
        row("vendor-key: empty from the environment", "",
            "KIVARO_VENDOR_KEY needs a minisign public key (the RW... line) or the path of its .pub file, "
            "not \"\"",
            { QStringLiteral("KIVARO_VENDOR_KEY=") });

        // Which backend a start takes, and why: {dir}/bin/yt-dlp and {dir}/custom/my-yt-dlp are programs,
        // {dir}/plain/yt-dlp is not executable, {dir}/other holds none; the working folder is bin/, so a
        // program found there by mistake would show.
        const QString found = QStringLiteral("PATH={dir}/other:{dir}/bin");
        const QString missing = QStringLiteral("PATH={dir}/other");
        row("auto: built-in site, yt-dlp found", "",
            "backend: yt-dlp (auto: the built-in video site, and yt-dlp is {dir}/bin/yt-dlp)", { found });
        row("auto: built-in site, yt-dlp not found", "",
            "backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)", { missing });
        row("auto: site option, yt-dlp found", "",
            "backend: site (auto: the video site http://127.0.0.1:8080 was chosen)",
            { QStringLiteral("--site=http://127.0.0.1:8080"), found });
        row("auto: site variable, yt-dlp found", "",
            "backend: site (auto: the video site http://127.0.0.1:8081 was chosen)",
            { found, QStringLiteral("KIVARO_SITE=http://127.0.0.1:8081") });
        row("auto: site in the settings file, yt-dlp found", "site = http://www.youtube.com",
            "backend: site (auto: the video site http://www.youtube.com was chosen)", { found });
        row("auto: yt-dlp by its path, no PATH at all", "",
            "backend: yt-dlp (auto: the built-in video site, and yt-dlp is {dir}/custom/my-yt-dlp)",
            { QStringLiteral("--yt-dlp={dir}/custom/my-yt-dlp --proxy x") });
        row("auto: not executable", "", "backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)",
            { QStringLiteral("PATH={dir}/plain") });
        row("auto: empty PATH entries are not the working folder", "",
            "backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)",
            { QStringLiteral("PATH=::") });
        row("site chosen, yt-dlp found", "", "backend: site, as chosen",
            { found, QStringLiteral("--backend=site") });
        row("yt-dlp chosen, not found", "", "backend: yt-dlp, as chosen",
            { missing, QStringLiteral("KIVARO_BACKEND=yt-dlp") });
    }

    void settingsFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, given);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config/kivaro/kivaro.conf"));
        QVERIFY(writeFile(path, contents.replace("{dir}", QFile::encodeName(dir.path()))));
        QVERIFY(writeFile(dir.filePath(QStringLiteral(".config/kivaro/kivaro.conf")),
                          "site = http://127.0.0.1:84"));
        const QByteArray key
            = "untrusted comment: minisign public key 807060504030201\n" + Key.toLatin1() + '\n';
        QVERIFY(writeFile(dir.filePath(QStringLiteral("key.pub")), key));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("large.pub")), key + QByteArray(4096, '\n')));
        for (const char *program : { "bin/yt-dlp", "plain/yt-dlp", "custom/my-yt-dlp" }) {
            QVERIFY(writeFile(dir.filePath(QLatin1String(program)), "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(
                dir.filePath(QLatin1String(program)),
                qstrcmp(program, "plain/yt-dlp") ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner));
        }
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("other"))));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.filePath(QStringLiteral("bin"))));
        const ParsedSettings parsed = parse(given, dir.path());
        QDir::setCurrent(before);
        expected.replace(QLatin1String("%f"), path).replace(QLatin1String("{dir}"), dir.path());
        const bool why = expected.startsWith(QLatin1String("backend: "));
        QCOMPARE(!parsed.error.isEmpty() ? parsed.error
                     : why               ? parsed.backendChoice
                                         : field(parsed.settings, expected.section(QLatin1Char('='), 0, 0)),
                 expected);
        // The backend a start tells it takes is the one it takes.
        if (parsed.error.isEmpty())
            QVERIFY(parsed.backendChoice.startsWith(field(parsed.settings, QStringLiteral("backend"))
                                                        .replace(QLatin1Char('='), QLatin1String(": "))));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
