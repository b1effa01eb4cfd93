#include "platform/settings.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace kivaro {

QString Settings::baseAddress(const QUrl &url)
{
    QString address = url.scheme() + QLatin1String("://") + url.host();
    if (url.port() != -1 && url.port() != 80)
        address += QLatin1Char(':') + QString::number(url.port());
    return address;
}

namespace {

struct UrlOption
{
    QCommandLineOption option;
    const char *variable;
    QUrl Settings::*field;
};

QString checkUrl(const QString &name, const QString &text, QUrl *url)
{
    const QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("http") || parsed.host().isEmpty())
        return QStringLiteral("--%1 needs an http address such as http://127.0.0.1:8080, not \"%2\"")
            .arg(name, text);
    *url = parsed;
    return {};
}

// Kivaro's release key. Its secret half stays with the release manager; README says how a release
// is signed with it.
constexpr char ReleaseKeyText[] = "RWS2UMBFpt1Uw7cFPYu8as4CkHZMZD+IcXTuE4hE037cdeAw6G0FsSqn";

// A .pub file is two short lines; anything much larger is not one.
constexpr qint64 MaxKeyFileBytes = 4096;

// The key itself ("RW...") or the path of a .pub file holding it.
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
        return QStringLiteral("--vendor-key: \"%1\" is %2").arg(text, why);
    }
    return QStringLiteral("--vendor-key needs a minisign public key (the RW... line) or the path of its "
                          ".pub file, not \"%1\"")
        .arg(text);
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

ParsedSettings parseSettings(const QStringList &arguments, const QProcessEnvironment &environment)
{
    ParsedSettings result;
    Settings &settings = result.settings;

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kivaro: type an artist or a song and hear it."));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Show the version and exit."));
    UrlOption urlOptions[] = {
        {QCommandLineOption(QStringLiteral("site"),
                            QStringLiteral("Video site address and connect host/port (KIVARO_SITE)."),
                            QStringLiteral("URL")),
         "KIVARO_SITE", &Settings::site},
        {QCommandLineOption(QStringLiteral("vendor"),
                            QStringLiteral("Vendor site, base of /version.dll and /NewVers.exe (KIVARO_VENDOR)."),
                            QStringLiteral("URL")),
         "KIVARO_VENDOR", &Settings::vendor},
        {QCommandLineOption(QStringLiteral("shop"),
                            QStringLiteral("Record shop, base of /search/default.asp (KIVARO_SHOP)."),
                            QStringLiteral("URL")),
         "KIVARO_SHOP", &Settings::shop},
    };
    const QCommandLineOption playerOption(
        QStringLiteral("player"),
        QStringLiteral("Player command; the address is appended as its last argument (KIVARO_PLAYER)."),
        QStringLiteral("CMD"));
    const QCommandLineOption dataDirOption(
        QStringLiteral("data-dir"),
        QStringLiteral("Product folder holding hist and skins/ (KIVARO_DATA_DIR)."), QStringLiteral("DIR"));
    const QCommandLineOption verboseOption(
        QStringLiteral("verbose"), QStringLiteral("One line on stderr per engine step (KIVARO_VERBOSE)."));
    const QCommandLineOption backendOption(
        QStringLiteral("backend"),
        QStringLiteral("How a search finds its video: site (the video site's pages, the default) or yt-dlp "
                       "(the yt-dlp program; the player must play the video page's address, as mpv "
                       "does) (KIVARO_BACKEND)."),
        QStringLiteral("site|yt-dlp"));
    const QCommandLineOption ytDlpOption(
        QStringLiteral("yt-dlp"), QStringLiteral("The command the yt-dlp backend runs (KIVARO_YT_DLP)."),
        QStringLiteral("CMD"));
    const QCommandLineOption vendorKeyOption(
        QStringLiteral("vendor-key"),
        QStringLiteral("The minisign public key, its RW... line or its .pub file, that must have signed the "
                       "vendor's version file and installer; default: Kivaro's release key "
                       "(KIVARO_VENDOR_KEY)."),
        QStringLiteral("KEY"));

    parser.addOption(helpOption);
    parser.addOption(versionOption);
    for (const UrlOption &o : urlOptions)
        parser.addOption(o.option);
    parser.addOption(playerOption);
    parser.addOption(dataDirOption);
    parser.addOption(verboseOption);
    parser.addOption(backendOption);
    parser.addOption(ytDlpOption);
    parser.addOption(vendorKeyOption);

    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    // Without a running application the parser does not know the program's name.
    result.helpText = parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("kivaro"));
    result.showHelp = parser.isSet(helpOption);
    result.showVersion = parser.isSet(versionOption);
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst());
        return result;
    }

    auto value = [&](const QCommandLineOption &option, const char *variable) -> std::optional<QString> {
        if (parser.isSet(option))
            return parser.value(option);
        const QString name = QString::fromLatin1(variable);
        if (environment.contains(name))
            return environment.value(name);
        return std::nullopt;
    };

    for (const UrlOption &o : urlOptions) {
        if (auto text = value(o.option, o.variable)) {
            result.error = checkUrl(o.option.names().constFirst(), *text, &(settings.*o.field));
            if (!result.error.isEmpty())
                return result;
        }
    }
    if (auto text = value(playerOption, "KIVARO_PLAYER"))
        settings.player = *text;
    if (auto text = value(backendOption, "KIVARO_BACKEND")) {
        if (*text == QLatin1String("site")) {
            settings.backend = Settings::Backend::Site;
        } else if (*text == QLatin1String("yt-dlp")) {
            settings.backend = Settings::Backend::YtDlp;
        } else {
            result.error = QStringLiteral("--backend is site or yt-dlp, not \"%1\"").arg(*text);
            return result;
        }
    }
    if (auto text = value(ytDlpOption, "KIVARO_YT_DLP"))
        settings.ytDlp = *text;
    if (auto text = value(vendorKeyOption, "KIVARO_VENDOR_KEY")) {
        result.error = readKey(*text, &settings.vendorKey);
        if (!result.error.isEmpty())
            return result;
    }

    if (auto text = value(dataDirOption, "KIVARO_DATA_DIR")) {
        settings.dataDir = *text;
    } else {
        QString dataHome = environment.value(QStringLiteral("XDG_DATA_HOME"));
        if (dataHome.isEmpty())
            dataHome = environment.value(QStringLiteral("HOME")) + QLatin1String("/.local/share");
        settings.dataDir = dataHome + QLatin1String("/kivaro");
    }
    settings.dataDir = QDir::cleanPath(settings.dataDir);

    if (parser.isSet(verboseOption)) {
        settings.verbose = true;
    } else if (environment.contains(QStringLiteral("KIVARO_VERBOSE"))) {
        const QString v = environment.value(QStringLiteral("KIVARO_VERBOSE")).trimmed().toLower();
        settings.verbose = !(v.isEmpty() || v == QLatin1String("0") || v == QLatin1String("false")
                             || v == QLatin1String("no") || v == QLatin1String("off"));
    }
    return result;
}

} // namespace kivaro
