#pragma once

#include "platform/minisignkey.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QProcessEnvironment;

namespace kivaro {

// The few values a user, a test or the demo may point elsewhere. Each comes from a command-line
// option or, failing that, from an environment variable, then from the user's settings file, or
// else keeps its built-in default.
struct Settings
{
    // How a search finds its video: the design's own engine talking to the site, or the yt-dlp
    // program that today's site needs. Chosen once at start; Auto is decided by chooseBackend().
    enum class Backend { Auto, Site, YtDlp };

    QUrl site { QStringLiteral("http://www.youtube.com") };
    bool siteChosen = false; // the site was given (option, variable or settings file), not the built-in one
    QUrl vendor { QStringLiteral("http://www.kivaro.com") };
    QUrl shop { QStringLiteral("http://www.cdrecordshop.com") };
    QString player = QStringLiteral("mpv --no-video --really-quiet");
    QString dataDir; // the product folder; empty until resolved by parse()
    QString installedSkins; // the skins installed with the program; empty: none
    bool verbose = false;
    Backend backend = Backend::Auto;
    QString ytDlp = QStringLiteral("yt-dlp"); // the command the yt-dlp backend runs
    // The key that must have signed the vendor's version file and installer.
    MinisignKey vendorKey = releaseKey();

    // Kivaro's own release key, whose secret half signs every release.
    static MinisignKey releaseKey();

    // An address that holds no video: loading it into the player stops the music.
    static QString neutralAddress() { return QStringLiteral("about:blank"); }

    // How long the engine waits for a connection before it gives up and tells the user.
    int connectTimeoutMs = 15000;

    // Scheme and host (and a port other than 80) of the video site, without a trailing slash:
    // every address the engine builds starts with it.
    QString siteAddress() const { return baseAddress(site); }
    QString connectHost() const { return site.host(); }
    quint16 connectPort() const { return static_cast<quint16>(site.port(80)); }
    QString vendorAddress() const { return baseAddress(vendor); }
    QString shopAddress() const { return baseAddress(shop); }

    static QString baseAddress(const QUrl &url);
    // Where the skin chooser looks, in this order: the user's skins in the product folder, then the
    // installed ones.
    QStringList skinFolders() const;
};

struct ParsedSettings
{
    Settings settings;
    bool showHelp = false;
    bool showVersion = false;
    QString helpText;
    QString error; // non-empty when the command line, a variable or the settings file cannot be used
    QString settingsFile; // the settings file read, empty when there was none
    QString backendChoice; // which backend the settings chose, and why (for --verbose)
};

// Reads the options (--site, --vendor, --shop, --player, --data-dir, --verbose, --backend, --yt-dlp,
// --vendor-key, --help, --version), their environment variables (KIVARO_SITE, ...) and the settings
// file (SettingsFile::path(), keys named as the long options). An option wins over its variable, the
// variable over the file. Every line of the file must be a known key with a usable value. An Auto
// backend is decided here, with the PATH of the environment.
ParsedSettings parseSettings(const QStringList &arguments, const QProcessEnvironment &environment);

struct BackendChoice
{
    Settings::Backend backend;
    QString reason; // for the --verbose line
};

// The backend a start uses. Auto takes the design's engine when the video site was chosen or the
// yt-dlp command is not found, and yt-dlp when the site is the built-in one and the command is found:
// on the search path (a ":"-separated list of folders) or, when it names a folder, where it says.
BackendChoice chooseBackend(const Settings &settings, const QString &searchPath);
// The program of a command line as a start would find it; empty when it is not there.
QString findProgram(const QString &command, const QString &searchPath);

} // namespace kivaro
