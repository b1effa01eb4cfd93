#include "platform/settings.h"

#include "platform/settingsfile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>
#include <functional>

namespace kivaro {

QString Settings::baseAddress(const QUrl &url)
{
    QString address = url.scheme() + QLatin1String("://") + url.host();
    if (url.port() != -1 && url.port() != 80)
        address += QLatin1Char(':') + QString::number(url.port());
    return address;
}

namespace {

// Where a value comes from, in the order they win.
enum class Source { Option, Variable, File };

QString checkUrl(const QString &text, QUrl *url)
{
    const QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("http") || parsed.host().isEmpty())
        return QStringLiteral("needs an http address such as http://127.0.0.1:8080, not \"%1\"").arg(text);
    *url = parsed;
    return {};
}

// Kivaro's release key. Its secret half stays with the release manager; README says how a release
// is signed with it.
constexpr char ReleaseKeyText[] = "RWS2UMBFpt1Uw7cFPYu8as4CkHZMZD+IcXTuE4hE037cdeAw6G0FsSqn";

// A .pub file is two short lines; anything much larger is not one.
constexpr qint64 MaxKeyFileBytes = 4096;

// The key itself ("RW...") or the path of a .pub file holding it. The error follows the name of
// where the text came from.
QString readKey(const QString &text, MinisignKey *key)
{
    if (auto given = MinisignKey::read(text.toLatin1())) {
        *key = *given;
        return {};
    }
    QFile file(text);
    if (!text.isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QByteArray content = file.read(MaxKeyFileBytes + 1);
        QString why;
        if (content.size() <= MaxKeyFileBytes) {
            if (auto fromFile = MinisignKey::read(content, &why)) {
                *key = *fromFile;
                return {};
            }
        } else {
            why = QStringLiteral("not a minisign public key: larger than %1 bytes").arg(MaxKeyFileBytes);
        }
        return QStringLiteral(": \"%1\" is %2").arg(text, why);
    }
    return QStringLiteral(
               "needs a minisign public key (the RW... line) or the path of its .pub file, not \"%1\"")
        .arg(text);
}

// A message as it may go to a terminal: the file's or the user's text in it cannot move the cursor,
// colour the screen or start a new line.
QString printable(QString message)
{
    for (QChar &c : message) {
        if (c.category() == QChar::Other_Control)
            c = QChar(0xFFFD);
    }
    return message;
}

std::optional<bool> switchValue(const QString &text)
{
    const QString v = text.trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("on")
        || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("false") || v == QLatin1String("no") || v == QLatin1String("off")
        || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// One setting: its option (whose long name is also its key in the settings file), its variable, and
// what a text given for it does. apply() sets the field or says why the text cannot be used; the
// caller names where the text came from. A later option is one more row.
struct Row
{
    QCommandLineOption option;
    const char *variable;
    std::function<QString(const QString &text, Source source, Settings &settings)> apply;
    bool isSwitch = false; // takes no value on the command line
    bool homeRelative = false; // in the settings file, a leading "~/" is the home folder

    QString key() const { return option.names().constLast(); }
};

QList<Row> rows()
{
    auto url = [](QUrl Settings::*field) {
        return [field](const QString &text, Source, Settings &settings) {
            return checkUrl(text, &(settings.*field));
        };
    };
    return {
        { QCommandLineOption(QStringLiteral("site"),
                             QStringLiteral("Video site address and connect host/port (KIVARO_SITE)."),
                             QStringLiteral("URL")),
          "KIVARO_SITE",
          [](const QString &text, Source, Settings &settings) {
              settings.siteChosen = true;
              return checkUrl(text, &settings.site);
          } },
        { QCommandLineOption(
              QStringLiteral("vendor"),
              QStringLiteral("Vendor site, base of /version.dll and /NewVers.exe (KIVARO_VENDOR)."),
              QStringLiteral("URL")),
          "KIVARO_VENDOR", url(&Settings::vendor) },
        { QCommandLineOption(QStringLiteral("shop"),
                             QStringLiteral("Record shop, base of /search/default.asp (KIVARO_SHOP)."),
                             QStringLiteral("URL")),
          "KIVARO_SHOP", url(&Settings::shop) },
        { QCommandLineOption(
              QStringLiteral("player"),
              QStringLiteral("Player command; the address is appended as its last argument (KIVARO_PLAYER)."),
              QStringLiteral("CMD")),
          "KIVARO_PLAYER",
          [](const QString &text, Source, Settings &settings) {
              settings.player = text;
              return QString();
          },
          false, true },
        { QCommandLineOption(QStringLiteral("data-dir"),
                             QStringLiteral("Product folder holding hist and skins/ (KIVARO_DATA_DIR)."),
                             QStringLiteral("DIR")),
          "KIVARO_DATA_DIR",
          [](const QString &text, Source source, Settings &settings) {
              // A launcher's working folder is nobody's choice: the file names a folder in full.
              if (source == Source::File && !QDir::isAbsolutePath(text))
                  return QStringLiteral("needs a folder from the root (or from ~/), not \"%1\"").arg(text);
              settings.dataDir = text;
              return QString();
          },
          false, true },
        { QCommandLineOption(QStringLiteral("verbose"),
                             QStringLiteral("One line on stderr per engine step (KIVARO_VERBOSE).")),
          "KIVARO_VERBOSE",
          [](const QString &text, Source source, Settings &settings) {
              if (source == Source::Variable) {
                  // Any value but an empty one or a "no" switches it on, as variables usually do.
                  settings.verbose = switchValue(text).value_or(!text.trimmed().isEmpty());
                  return QString();
              }
              const std::optional<bool> on = switchValue(text);
              if (!on)
                  return QStringLiteral("is true or false, not \"%1\"").arg(text);
              settings.verbose = *on;
              return QString();
          },
          true },
        { QCommandLineOption(
              QStringLiteral("backend"),
              QStringLiteral(
                  "How a search finds its video: auto (the default: yt-dlp when the video site is the "
                  "built-in one and yt-dlp is found, else site), site (the video site's pages) or yt-dlp "
                  "(the yt-dlp program; the player must play the video page's address, as mpv does) "
                  "(KIVARO_BACKEND)."),
              QStringLiteral("auto|site|yt-dlp")),
          "KIVARO_BACKEND",
          [](const QString &text, Source, Settings &settings) {
              if (text == QLatin1String("auto"))
                  settings.backend = Settings::Backend::Auto;
              else if (text == QLatin1String("site"))
                  settings.backend = Settings::Backend::Site;
              else if (text == QLatin1String("yt-dlp"))
                  settings.backend = Settings::Backend::YtDlp;
              else
                  return QStringLiteral("is auto, site or yt-dlp, not \"%1\"").arg(text);
              return QString();
          } },
        { QCommandLineOption(QStringLiteral("yt-dlp"),
                             QStringLiteral("The command the yt-dlp backend runs (KIVARO_YT_DLP)."),
                             QStringLiteral("CMD")),
          "KIVARO_YT_DLP",
          [](const QString &text, Source, Settings &settings) {
              settings.ytDlp = text;
              return QString();
          },
          false, true },
        { QCommandLineOption(
              QStringLiteral("vendor-key"),
              QStringLiteral(
                  "The minisign public key, its RW... line or its .pub file, that must have signed the "
                  "vendor's version file and installer; default: Kivaro's release key "
                  "(KIVARO_VENDOR_KEY)."),
              QStringLiteral("KEY")),
          "KIVARO_VENDOR_KEY",
          [](const QString &text, Source, Settings &settings) { return readKey(text, &settings.vendorKey); },
          false, true },
    };
}

} // namespace

MinisignKey Settings::releaseKey()
{
    const std::optional<MinisignKey> key = MinisignKey::read(ReleaseKeyText);
    Q_ASSERT(key);
    return *key;
}

QStringList Settings::skinFolders() const
{
    QStringList folders;
    if (!dataDir.isEmpty())
        folders << dataDir + QLatin1String("/skins");
    if (!installedSkins.isEmpty())
        folders << installedSkins;
    return folders;
}

QString findProgram(const QString &command, const QString &searchPath)
{
    const QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return {};
    const QString &program = words.constFirst();
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo file(program);
        return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    // An empty list would have Qt look on its own PATH; an empty entry would be the working folder.
    const QStringList folders = searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return folders.isEmpty() ? QString() : QStandardPaths::findExecutable(program, folders);
}

BackendChoice chooseBackend(const Settings &settings, const QString &searchPath)
{
    switch (settings.backend) {
    case Settings::Backend::Site:
        return { Settings::Backend::Site, QStringLiteral("backend: site, as chosen") };
    case Settings::Backend::YtDlp:
        return { Settings::Backend::YtDlp, QStringLiteral("backend: yt-dlp, as chosen") };
    case Settings::Backend::Auto:
        break;
    }
    if (settings.siteChosen)
        return {
            Settings::Backend::Site,
            QStringLiteral("backend: site (auto: the video site %1 was chosen)").arg(settings.siteAddress())
        };
    const QString program = findProgram(settings.ytDlp, searchPath);
    if (program.isEmpty())
        return {
            Settings::Backend::Site,
            QStringLiteral("backend: site (auto: the yt-dlp command \"%1\" is not found)").arg(settings.ytDlp)
        };
    return {
        Settings::Backend::YtDlp,
        QStringLiteral("backend: yt-dlp (auto: the built-in video site, and yt-dlp is %1)").arg(program)
    };
}

namespace {

ParsedSettings readSettings(const QStringList &arguments, const QProcessEnvironment &environment)
{
    ParsedSettings result;
    Settings &settings = result.settings;
    const QString fileLocation = SettingsFile::path(environment);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Kivaro: type an artist or a song and hear it.\n\nEach option can also be given as its "
            "variable, or as a line \"name = value\" (the option's name without dashes) of the "
            "settings file %1; the option wins over the variable, the variable over the file.")
            .arg(fileLocation.isEmpty() ? QStringLiteral("~/.config/kivaro/kivaro.conf") : fileLocation));
    const QCommandLineOption helpOption(QStringList { QStringLiteral("h"), QStringLiteral("help") },
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Show the version and exit."));
    const QList<Row> table = rows();
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    for (const Row &row : table)
        parser.addOption(row.option);

    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    // Without a running application the parser does not know the program's name.
    result.helpText = parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("kivaro"));
    result.showHelp = parser.isSet(helpOption);
    result.showVersion = parser.isSet(versionOption);
    if (!parser.positionalArguments().isEmpty()) {
        result.error
            = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst());
        return result;
    }

    // The settings file is checked whole, also where an option or a variable overrides a line of
    // it, and its first fault is the one told: a bad value may stand before a line the reader refuses.
    SettingsFile file(fileLocation);
    const bool readable = file.load();
    if (readable && QFileInfo::exists(fileLocation))
        result.settingsFile = fileLocation;
    const QString home = environment.value(QStringLiteral("HOME"));
    QHash<QString, SettingsFile::Entry> fromFile;
    for (SettingsFile::Entry entry : file.entries()) {
        const auto row
            = std::find_if(table.cbegin(), table.cend(), [&](const Row &r) { return r.key() == entry.key; });
        QString error;
        if (row == table.cend()) {
            error = QStringLiteral("%1 is not a setting of Kivaro (see kivaro --help)").arg(entry.key);
        } else if (entry.value.isEmpty()) {
            error = QStringLiteral("%1 has no value").arg(entry.key);
        } else {
            if (row->homeRelative && entry.value.startsWith(QLatin1String("~/")) && !home.isEmpty())
                entry.value = home + entry.value.mid(1);
            Settings scratch;
            error = row->apply(entry.value, Source::File, scratch);
            if (!error.isEmpty())
                error = entry.key + (error.startsWith(QLatin1Char(':')) ? QString() : QStringLiteral(" "))
                    + error;
        }
        if (!error.isEmpty()) {
            result.error = QStringLiteral("%1:%2: %3").arg(file.path()).arg(entry.line).arg(error);
            return result;
        }
        fromFile.insert(entry.key, entry);
    }
    if (!readable) {
        result.error = file.errorLine() > 0
            ? QStringLiteral("%1:%2: %3").arg(file.path()).arg(file.errorLine()).arg(file.errorString())
            : QStringLiteral("%1: %2").arg(file.path(), file.errorString());
        return result;
    }

    for (const Row &row : table) {
        QString text;
        Source source = Source::File;
        QString origin;
        const QString variable = QString::fromLatin1(row.variable);
        if (parser.isSet(row.option)) {
            text = row.isSwitch ? QStringLiteral("true") : parser.value(row.option);
            source = Source::Option;
            origin = QLatin1String("--") + row.key();
        } else if (environment.contains(variable)) {
            text = environment.value(variable);
            source = Source::Variable;
            origin = variable;
        } else if (fromFile.contains(row.key())) {
            text = fromFile.value(row.key()).value;
            source = Source::File;
            origin = row.key();
        } else {
            continue;
        }
        const QString error = row.apply(text, source, settings);
        if (!error.isEmpty()) {
            result.error
                = origin + (error.startsWith(QLatin1Char(':')) ? QString() : QStringLiteral(" ")) + error;
            return result;
        }
    }

    if (settings.dataDir.isEmpty()) {
        QString dataHome = environment.value(QStringLiteral("XDG_DATA_HOME"));
        if (dataHome.isEmpty())
            dataHome = home + QLatin1String("/.local/share");
        settings.dataDir = dataHome + QLatin1String("/kivaro");
    }
    settings.dataDir = QDir::cleanPath(settings.dataDir);

    const BackendChoice choice = chooseBackend(settings, environment.value(QStringLiteral("PATH")));
    settings.backend = choice.backend;
    result.backendChoice = choice.reason;
    return result;
}

} // namespace

ParsedSettings parseSettings(const QStringList &arguments, const QProcessEnvironment &environment)
{
    ParsedSettings result = readSettings(arguments, environment);
    result.error = printable(result.error);
    return result;
}

} // namespace kivaro
