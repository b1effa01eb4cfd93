#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;

namespace {

// "NAME=value" pairs; "{dir}" in a value stands for the test's folder.
QProcessEnvironment environmentOf(const QStringList &pairs, const QString &dir = QString())
{
    QProcessEnvironment environment;
    for (const QString &pair : pairs)
        environment.insert(pair.section(QLatin1Char('='), 0, 0),
                           pair.section(QLatin1Char('='), 1).replace(QLatin1String("{dir}"), dir));
    return environment;
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// A setting as text, by its key in the settings file.
QString field(const Settings &settings, const QString &key)
{
    if (key == u"site")
        return settings.siteAddress();
    if (key == u"vendor")
        return settings.vendorAddress();
    if (key == u"shop")
        return settings.shopAddress();
    if (key == u"player")
        return settings.player;
    if (key == u"data-dir")
        return settings.dataDir;
    if (key == u"verbose")
        return settings.verbose ? QStringLiteral("true") : QStringLiteral("false");
    if (key == u"yt-dlp")
        return settings.ytDlp;
    if (key == u"backend")
        return settings.backend == Settings::Backend::YtDlp ? QStringLiteral("yt-dlp")
            : settings.backend == Settings::Backend::Site   ? QStringLiteral("site")
                                                            : QStringLiteral("auto");
    return QStringLiteral("<no such key>");
}

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

        QTest::newRow("defaults") << QStringList() << QStringList()
                                  << QStringLiteral("http://www.youtube.com")
                                  << QStringLiteral("www.youtube.com") << 80;
        QTest::newRow("option with port")
            << QStringList { QStringLiteral("--site"), QStringLiteral("http://127.0.0.1:8080") }
            << QStringList() << QStringLiteral("http://127.0.0.1:8080") << QStringLiteral("127.0.0.1")
            << 8080;
        QTest::newRow("path and slash dropped")
            << QStringList { QStringLiteral("--site=http://127.0.0.1:9/x/") } << QStringList()
            << QStringLiteral("http://127.0.0.1:9") << QStringLiteral("127.0.0.1") << 9;
        QTest::newRow("port 80 not named")
            << QStringList { QStringLiteral("--site=http://localhost:80") } << QStringList()
            << QStringLiteral("http://localhost") << QStringLiteral("localhost") << 80;
        QTest::newRow("environment") << QStringList()
                                     << QStringList { QStringLiteral("KIVARO_SITE=http://127.0.0.2:81") }
                                     << QStringLiteral("http://127.0.0.2:81") << QStringLiteral("127.0.0.2")
                                     << 81;
        QTest::newRow("option wins over environment")
            << QStringList { QStringLiteral("--site=http://127.0.0.1:82") }
            << QStringList { QStringLiteral("KIVARO_SITE=http://127.0.0.2:81") }
            << QStringLiteral("http://127.0.0.1:82") << QStringLiteral("127.0.0.1") << 82;
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
        const ParsedSettings parsed
            = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, env);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(parsed.settings.siteAddress(), siteAddress);
        QCOMPARE(parsed.settings.connectHost(), connectHost);
        QCOMPARE(int(parsed.settings.connectPort()), connectPort);
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("not http") << QStringList { QStringLiteral("--site=ftp://x") }
                                  << QStringLiteral("--site needs");
        QTest::newRow("no host") << QStringList { QStringLiteral("--vendor=http://") }
                                 << QStringLiteral("--vendor needs");
        QTest::newRow("unknown option")
            << QStringList { QStringLiteral("--bogus") } << QStringLiteral("bogus");
        QTest::newRow("missing value") << QStringList { QStringLiteral("--shop") } << QStringLiteral("shop");
        QTest::newRow("stray argument") << QStringList { QStringLiteral("extra") } << QStringLiteral("extra");
        QTest::newRow("unknown backend")
            << QStringList { QStringLiteral("--backend=youtube-dl") }
            << QStringLiteral("--backend is auto, site or yt-dlp, not \"youtube-dl\"");
    }

    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const ParsedSettings parsed = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, {});
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
        QTest::newRow("option") << QStringList { QStringLiteral("--backend=yt-dlp") } << QStringList() << true
                                << plain;
        QTest::newRow("environment") << QStringList()
                                     << QStringList { QStringLiteral("KIVARO_BACKEND=yt-dlp") } << true
                                     << plain;
        QTest::newRow("option wins over environment")
            << QStringList { QStringLiteral("--backend"), QStringLiteral("site") }
            << QStringList { QStringLiteral("KIVARO_BACKEND=yt-dlp") } << false << plain;
        QTest::newRow("command from the environment")
            << QStringList() << QStringList { QStringLiteral("KIVARO_YT_DLP=/opt/yt-dlp --proxy x") } << false
            << QStringLiteral("/opt/yt-dlp --proxy x");
        QTest::newRow("command option wins")
            << QStringList { QStringLiteral("--yt-dlp"), QStringLiteral("python3 -m yt_dlp") }
            << QStringList { QStringLiteral("KIVARO_YT_DLP=x") } << false
            << QStringLiteral("python3 -m yt_dlp");
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
        const ParsedSettings parsed
            = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, env);
        QCOMPARE(parsed.error, QString());
        QCOMPARE(parsed.settings.backend == Settings::Backend::YtDlp, ytDlp);
        QCOMPARE(parsed.settings.ytDlp, command);
    }

    void otherValues()
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), QStringLiteral("/home/u"));
        env.insert(QStringLiteral("KIVARO_VERBOSE"), QStringLiteral("0"));
        ParsedSettings parsed = parseSettings({ QStringLiteral("kivaro") }, env);
        QCOMPARE(parsed.settings.dataDir, QStringLiteral("/home/u/.local/share/kivaro"));
        QVERIFY(!parsed.settings.verbose);
        QCOMPARE(parsed.settings.player, QStringLiteral("mpv --no-video --really-quiet"));

        env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/data"));
        env.insert(QStringLiteral("KIVARO_VERBOSE"), QStringLiteral("1"));
        env.insert(QStringLiteral("KIVARO_PLAYER"), QStringLiteral("ffplay -nodisp"));
        parsed = parseSettings({ QStringLiteral("kivaro") }, env);
        QCOMPARE(parsed.settings.dataDir, QStringLiteral("/data/kivaro"));
        QVERIFY(parsed.settings.verbose);
        QCOMPARE(parsed.settings.player, QStringLiteral("ffplay -nodisp"));

        parsed = parseSettings({ QStringLiteral("kivaro"), QStringLiteral("--data-dir"),
                                 QStringLiteral("/tmp/k/"), QStringLiteral("--player"),
                                 QStringLiteral("cvlc"), QStringLiteral("--version") },
                               env);
        QCOMPARE(parsed.settings.dataDir, QStringLiteral("/tmp/k"));
        QCOMPARE(parsed.settings.player, QStringLiteral("cvlc"));
        QVERIFY(parsed.showVersion);
        QVERIFY(parsed.helpText.contains(QStringLiteral("--data-dir")));
        QVERIFY(parsed.helpText.contains(QStringLiteral("--backend <auto|site|yt-dlp>")));
        QVERIFY(parsed.helpText.contains(QStringLiteral("--yt-dlp <CMD>")));
    }
    // Each key of the settings file, how values are read, and which source wins. The home folder is
    // {dir}; the file lies in {dir}/config/kivaro/kivaro.conf (XDG_CONFIG_HOME) or, without that,
    // in {dir}/.config/kivaro/kivaro.conf.
    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QStringList none;
        const QStringList xdg { QStringLiteral("XDG_CONFIG_HOME={dir}/config") };
        auto row = [&](const char *name, const char *contents, const QString &key, const QString &expected,
                       const QStringList &arguments = {}, const QStringList &environment = {}) {
            QTest::newRow(name) << QByteArray(contents) << arguments << xdg + environment << key << expected;
        };
        row("site", "site = http://127.0.0.1:8080\n", QStringLiteral("site"),
            QStringLiteral("http://127.0.0.1:8080"));
        row("vendor", "vendor=http://127.0.0.1:9/x", QStringLiteral("vendor"),
            QStringLiteral("http://127.0.0.1:9"));
        row("shop, with a mark, comments and CR LF",
            "\xEF\xBB\xBF# mine\r\n; also\r\n\r\nshop = http://s.example\r\n", QStringLiteral("shop"),
            QStringLiteral("http://s.example"));
        row("player as written", "player = mpv --no-video \"--title=a b\"\n", QStringLiteral("player"),
            QStringLiteral("mpv --no-video \"--title=a b\""));
        row("player from the home folder", "player = ~/bin/mpv --no-video", QStringLiteral("player"),
            QStringLiteral("{dir}/bin/mpv --no-video"));
        row("a tilde inside stays", "player = mpv --dir=~/x", QStringLiteral("player"),
            QStringLiteral("mpv --dir=~/x"));
        row("data-dir from the home folder", "data-dir = ~/Music/kivaro/", QStringLiteral("data-dir"),
            QStringLiteral("{dir}/Music/kivaro"));
        row("data-dir cleaned", "data-dir=/srv//kivaro/", QStringLiteral("data-dir"),
            QStringLiteral("/srv/kivaro"));
        row("verbose on", "verbose = yes", QStringLiteral("verbose"), QStringLiteral("true"));
        row("verbose off, any case", "verbose = Off", QStringLiteral("verbose"), QStringLiteral("false"));
        row("backend", "backend = yt-dlp", QStringLiteral("backend"), QStringLiteral("yt-dlp"));
        row("yt-dlp from the home folder", "yt-dlp = ~/bin/yt-dlp --proxy socks5://127.0.0.1:9",
            QStringLiteral("yt-dlp"), QStringLiteral("{dir}/bin/yt-dlp --proxy socks5://127.0.0.1:9"));
        row("comment after a value", "site = http://127.0.0.1:81 ; at home", QStringLiteral("site"),
            QStringLiteral("http://127.0.0.1:81"));
        row("tabs around", "\tshop\t=\thttp://s.example\t\n", QStringLiteral("shop"),
            QStringLiteral("http://s.example"));
        row("variable over file", "site = http://127.0.0.1:81", QStringLiteral("site"),
            QStringLiteral("http://127.0.0.1:82"), none,
            { QStringLiteral("KIVARO_SITE=http://127.0.0.1:82") });
        row("option over variable and file", "site = http://127.0.0.1:81", QStringLiteral("site"),
            QStringLiteral("http://127.0.0.1:83"), { QStringLiteral("--site=http://127.0.0.1:83") },
            { QStringLiteral("KIVARO_SITE=http://127.0.0.1:82") });
        row("variable off over file on", "verbose = true", QStringLiteral("verbose"), QStringLiteral("false"),
            none, { QStringLiteral("KIVARO_VERBOSE=0") });
        row("option on over variable off", "verbose = false", QStringLiteral("verbose"),
            QStringLiteral("true"), { QStringLiteral("--verbose") }, { QStringLiteral("KIVARO_VERBOSE=0") });
        row("the file's value over the default, the other keys keep theirs", "vendor = http://v.example",
            QStringLiteral("player"), QStringLiteral("mpv --no-video --really-quiet"));
        QTest::newRow("without XDG_CONFIG_HOME, under the home folder")
            << QByteArray("site = http://127.0.0.1:84") << none << none << QStringLiteral("site")
            << QStringLiteral("http://127.0.0.1:84");
        QTest::newRow("a relative XDG_CONFIG_HOME is not one")
            << QByteArray("site = http://127.0.0.1:85") << none
            << QStringList { QStringLiteral("XDG_CONFIG_HOME=config") } << QStringLiteral("site")
            << QStringLiteral("http://127.0.0.1:85");
    }

    void settingsFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QProcessEnvironment env = environmentOf(environment, dir.path());
        env.insert(QStringLiteral("HOME"), dir.path());
        const bool xdg = QDir::isAbsolutePath(env.value(QStringLiteral("XDG_CONFIG_HOME")));
        const QString path = dir.path() + (xdg ? QLatin1String("/config") : QLatin1String("/.config"))
            + QLatin1String("/kivaro/kivaro.conf");
        QVERIFY(writeFile(path, contents));
        const ParsedSettings parsed
            = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, env);
        QCOMPARE(parsed.error, QString());
        QCOMPARE(parsed.settingsFile, path);
        QCOMPARE(field(parsed.settings, key), QString(expected).replace(QLatin1String("{dir}"), dir.path()));
    }

    // A settings file that cannot be used stops the start with the file, the line and the key;
    // "%1" is the file's path.
    void badSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("error");
        const QStringList none;
        QTest::newRow("unknown key")
            << QByteArray("site = http://x\nbackground = red\n") << none << none
            << QStringLiteral("%1:2: background is not a setting of Kivaro (see kivaro --help)");
        QTest::newRow("an address that is not http")
            << QByteArray("\n# shop\nvendor = ftp://x\n") << none << none
            << QStringLiteral(
                   "%1:3: vendor needs an http address such as http://127.0.0.1:8080, not \"ftp://x\"");
        QTest::newRow("unknown backend")
            << QByteArray("backend = youtube") << none << none
            << QStringLiteral("%1:1: backend is auto, site or yt-dlp, not \"youtube\"");
        QTest::newRow("a switch that is neither")
            << QByteArray("verbose = loud") << none << none
            << QStringLiteral("%1:1: verbose is true or false, not \"loud\"");
        QTest::newRow("a folder from nowhere")
            << QByteArray("data-dir = music") << none << none
            << QStringLiteral("%1:1: data-dir needs a folder from the root (or from ~/), not \"music\"");
        QTest::newRow("no value") << QByteArray("player =") << none << none
                                  << QStringLiteral("%1:1: player has no value");
        QTest::newRow("not key = value") << QByteArray("site http://x") << none << none
                                         << QStringLiteral("%1:1: the line is not \"key = value\"");
        QTest::newRow("in a group")
            << QByteArray("[kivaro]\nsite = http://x") << none << none
            << QStringLiteral(
                   "%1:2: site stands in the group [kivaro]; the settings stand outside any group");
        QTest::newRow("twice")
            << QByteArray("shop = http://a\n\nshop = http://b") << none << none
            << QStringLiteral("%1:3: shop is given again (first on line 1); each key once, on one line");
        QTest::newRow("a line that goes on on the next")
            << QByteArray("player = mpv\n  --no-video") << none << none
            << QStringLiteral("%1:2: player is given again (first on line 1); each key once, on one line");
        QTest::newRow("longer than the reader takes, never cut short")
            << QByteArray("site = http://x\nplayer = " + QByteArray(300, 'x')) << none << none
            << QStringLiteral("%1:2: the line is longer than 199 characters");
        QTest::newRow("a NUL byte, never a silent end")
            << QByteArrayLiteral("site = http://x\nbackend = site\0\nbackend = bad") << none << none
            << QStringLiteral("%1:2: the line holds a NUL byte: not a text file");
        QTest::newRow("the first fault is told")
            << QByteArray("verbose = loud\nsite http://x") << none << none
            << QStringLiteral("%1:1: verbose is true or false, not \"loud\"");
        QTest::newRow("the first fault is told, a reader's one too")
            << QByteArray("site http://x\nverbose = loud") << none << none
            << QStringLiteral("%1:1: the line is not \"key = value\"");
        QTest::newRow("bad even where an option overrides it")
            << QByteArray("backend = x") << QStringList { QStringLiteral("--backend=site") } << none
            << QStringLiteral("%1:1: backend is auto, site or yt-dlp, not \"x\"");
        QTest::newRow("no key") << QByteArray("=player = mpv") << none << none
                                << QStringLiteral("%1:1: the line is not \"key = value\"");
        QTest::newRow("what the file says cannot steer the terminal")
            << QByteArray("backend = \x1b[2J\x1b]0;pwned\x07\rsite\n") << none << none
            << QStringLiteral(
                   "%1:1: backend is auto, site or yt-dlp, not \"\uFFFD[2J\uFFFD]0;pwned\uFFFD\uFFFDsite\"");
        QTest::newRow("too large") << QByteArray(70 * 1024, '#') << none << none
                                   << QStringLiteral("%1: larger than 65536 bytes: not a settings file");
        QTest::newRow("a variable names itself")
            << QByteArray() << none << QStringList { QStringLiteral("KIVARO_SHOP=ftp://x") }
            << QStringLiteral(
                   "KIVARO_SHOP needs an http address such as http://127.0.0.1:8080, not \"ftp://x\"");
    }

    void badSettingsFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kivaro/kivaro.conf"));
        QVERIFY(writeFile(path, contents));
        QProcessEnvironment env = environmentOf(environment);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        const ParsedSettings parsed
            = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, env);
        QCOMPARE(parsed.error, error.replace(QLatin1String("%1"), path));
    }

    // What the program does with a bad settings file: the message, and the status of a bad option.
    void badSettingsFileEndsTheStart()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("kivaro/kivaro.conf")),
                          "site = http://127.0.0.1:1\nbackend = x\n"));
        QProcess kivaro;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        kivaro.setProcessEnvironment(env);
        kivaro.start(QStringLiteral(KIVARO_PROGRAM), {});
        QVERIFY(kivaro.waitForFinished(30000));
        QCOMPARE(kivaro.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kivaro.exitCode(), 2);
        QCOMPARE(
            QString::fromUtf8(kivaro.readAllStandardError()),
            QStringLiteral("kivaro: %1:2: backend is auto, site or yt-dlp, not \"x\"\nTry 'kivaro --help'.\n")
                .arg(dir.filePath(QStringLiteral("kivaro/kivaro.conf"))));
    }

    // Which backend a start takes. In {dir}: bin/yt-dlp (a program), other/ (no yt-dlp),
    // plain/yt-dlp (not executable), folder/yt-dlp/ (a folder), custom/my-yt-dlp (a program). The
    // working folder is bin/, so a program found there by mistake would show.
    void autoBackend_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("reason");
        const QStringList none;
        const QStringList found { QStringLiteral("PATH={dir}/other:{dir}/bin") };
        const QStringList missing { QStringLiteral("PATH={dir}/other") };
        const QString yes = QStringLiteral("yt-dlp");
        const QString no = QStringLiteral("site");
        QTest::newRow("built-in site, yt-dlp found")
            << none << found << QByteArray() << yes
            << QStringLiteral(
                   "backend: yt-dlp (auto: the built-in video site, and yt-dlp is {dir}/bin/yt-dlp)");
        QTest::newRow("built-in site, yt-dlp not found")
            << none << missing << QByteArray() << no
            << QStringLiteral("backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)");
        QTest::newRow("site option, yt-dlp found")
            << QStringList { QStringLiteral("--site=http://127.0.0.1:8080") } << found << QByteArray() << no
            << QStringLiteral("backend: site (auto: the video site http://127.0.0.1:8080 was chosen)");
        QTest::newRow("site variable, yt-dlp found")
            << none << found + QStringList { QStringLiteral("KIVARO_SITE=http://127.0.0.1:8081") }
            << QByteArray() << no
            << QStringLiteral("backend: site (auto: the video site http://127.0.0.1:8081 was chosen)");
        QTest::newRow("site in the settings file, yt-dlp found")
            << none << found << QByteArray("site = http://www.youtube.com") << no
            << QStringLiteral("backend: site (auto: the video site http://www.youtube.com was chosen)");
        QTest::newRow("site option, yt-dlp not found")
            << QStringList { QStringLiteral("--site=http://127.0.0.1:8080") } << missing << QByteArray() << no
            << QStringLiteral("backend: site (auto: the video site http://127.0.0.1:8080 was chosen)");
        QTest::newRow("configured by its path, no PATH at all")
            << QStringList { QStringLiteral("--yt-dlp={dir}/custom/my-yt-dlp --proxy x") } << none
            << QByteArray() << yes
            << QStringLiteral(
                   "backend: yt-dlp (auto: the built-in video site, and yt-dlp is {dir}/custom/my-yt-dlp)");
        QTest::newRow("configured in the file by its path")
            << none << missing << QByteArray("yt-dlp = {dir}/custom/my-yt-dlp") << yes
            << QStringLiteral(
                   "backend: yt-dlp (auto: the built-in video site, and yt-dlp is {dir}/custom/my-yt-dlp)");
        QTest::newRow("configured by a path that is not there")
            << QStringList { QStringLiteral("--yt-dlp={dir}/other/yt-dlp") } << found << QByteArray() << no
            << QStringLiteral("backend: site (auto: the yt-dlp command \"{dir}/other/yt-dlp\" is not found)");
        QTest::newRow("not executable")
            << none << QStringList { QStringLiteral("PATH={dir}/plain") } << QByteArray() << no
            << QStringLiteral("backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)");
        QTest::newRow("a folder of that name")
            << none << QStringList { QStringLiteral("PATH={dir}/folder") } << QByteArray() << no
            << QStringLiteral("backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)");
        QTest::newRow("empty PATH entries are not the working folder")
            << none << QStringList { QStringLiteral("PATH=::") } << QByteArray() << no
            << QStringLiteral("backend: site (auto: the yt-dlp command \"yt-dlp\" is not found)");
        QTest::newRow("site chosen, yt-dlp found")
            << QStringList { QStringLiteral("--backend=site") } << found << QByteArray() << no
            << QStringLiteral("backend: site, as chosen");
        QTest::newRow("yt-dlp chosen, not found")
            << none << missing + QStringList { QStringLiteral("KIVARO_BACKEND=yt-dlp") } << QByteArray()
            << yes << QStringLiteral("backend: yt-dlp, as chosen");
        QTest::newRow("auto option over a site variable")
            << QStringList { QStringLiteral("--backend=auto") }
            << found + QStringList { QStringLiteral("KIVARO_BACKEND=site") } << QByteArray() << yes
            << QStringLiteral(
                   "backend: yt-dlp (auto: the built-in video site, and yt-dlp is {dir}/bin/yt-dlp)");
    }

    void autoBackend()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QByteArray, contents);
        QFETCH(QString, backend);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        auto program = [&](const QString &name, bool executable) {
            const QString path = dir.filePath(name);
            QVERIFY(writeFile(path, "#!/bin/sh\nexit 0\n"));
            QVERIFY(QFile::setPermissions(
                path, executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner));
        };
        program(QStringLiteral("bin/yt-dlp"), true);
        program(QStringLiteral("plain/yt-dlp"), false);
        program(QStringLiteral("custom/my-yt-dlp"), true);
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("other"))));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("folder/yt-dlp"))));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("config/kivaro/kivaro.conf")),
                          contents.replace("{dir}", QFile::encodeName(dir.path()))));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.filePath(QStringLiteral("bin"))));
        QProcessEnvironment env = environmentOf(environment, dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        for (QString &argument : arguments)
            argument.replace(QLatin1String("{dir}"), dir.path());
        const ParsedSettings parsed
            = parseSettings(QStringList { QStringLiteral("kivaro") } + arguments, env);
        QDir::setCurrent(before);
        QCOMPARE(parsed.error, QString());
        QCOMPARE(field(parsed.settings, QStringLiteral("backend")), backend);
        QCOMPARE(parsed.backendChoice, reason.replace(QLatin1String("{dir}"), dir.path()));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
