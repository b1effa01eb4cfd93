// kivaro: type an artist or a song and hear it.

#include "app/windows.h"
#include "kivaroassets.h"
#include "platform/trace.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QProcessEnvironment>
#include <QTextStream>

#include <csignal>

namespace {

// The skins installed with Kivaro lie beside its bin folder (<prefix>/share/kivaro/skins); a
// program run from its build tree takes the bundled skins of its source tree instead.
QString installedSkins()
{
    const QString programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString buildTree = QFileInfo(QStringLiteral(KIVARO_BUILD_DIR)).canonicalFilePath();
    if (!buildTree.isEmpty() && programFolder.startsWith(buildTree + QLatin1Char('/')))
        return QStringLiteral(KIVARO_SOURCE_SKINS);
    return QDir::cleanPath(programFolder + QStringLiteral(KIVARO_INSTALLED_SKINS));
}

// Read by Qt's X11 support when it connects to the display.
constexpr char NoSharedMemoryVariable[] = "QT_XCB_NO_MITSHM";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("kivaro"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KIVARO_VERSION));

    // The command line is read before any window system is needed, so --help, --version and
    // mistakes are answered on a machine without a display too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kivaro::ParsedSettings parsed =
        kivaro::parseSettings(arguments, QProcessEnvironment::systemEnvironment());
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parsed.error.isEmpty()) {
        err << "kivaro: " << parsed.error << Qt::endl << "Try 'kivaro --help'." << Qt::endl;
        return 2;
    }
    if (parsed.showHelp) {
        out << parsed.helpText;
        return 0;
    }
    if (parsed.showVersion) {
        out << "kivaro " << KIVARO_VERSION << Qt::endl;
        return 0;
    }

    // The ticker redraws a small strip ten times a second. Through shared memory every redraw
    // waits for the display server to confirm the one before (a round trip that wakes two threads);
    // sent over the connection, a strip that size costs less than that wait. Only this program's
    // own connection is set up so: the variable goes again before any other program is started.
    const bool userChose = qEnvironmentVariableIsSet(NoSharedMemoryVariable);
    if (!userChose)
        qputenv(NoSharedMemoryVariable, "1");
    QApplication app(argc, argv);
    if (!userChose)
        qunsetenv(NoSharedMemoryVariable);
    QApplication::setDesktopFileName(QStringLiteral("kivaro"));
    kivaro::initAssets();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kivaro-256.png")));
    // A site that closes early must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    if (parsed.settings.verbose)
        kivaro::showVerboseLines();
    if (!parsed.settingsFile.isEmpty())
        qCInfo(kivaro::lcEngine).noquote()
            << QStringLiteral("settings read from %1").arg(parsed.settingsFile);
    qCInfo(kivaro::lcEngine).noquote() << parsed.backendChoice;
    kivaro::Settings settings = parsed.settings;
    settings.installedSkins = installedSkins();
    kivaro::Windows windows(settings);
    // Everything starts from the splash: the version check, then the default search and, six
    // seconds on, the main window, or else the update prompt.
    windows.splash();
    // The desktop's media controls, when there is a session bus to offer them on. Reaching the
    // bus takes a while (starting one, where none runs yet), so the splash goes on screen first;
    // the engine it has started is picked up as it stands.
    windows.startMediaControls(QDBusConnection::sessionBus());
    return QApplication::exec();
}
