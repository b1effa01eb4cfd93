// kivaro: type an artist or a song and hear it.

#include "app/windows.h"

#include <QApplication>
#include <QProcessEnvironment>
#include <QTextStream>

#include <csignal>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kivaro"));
    QApplication::setApplicationVersion(QStringLiteral(KIVARO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kivaro"));
    // A site that closes early must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    const kivaro::ParsedSettings parsed =
        kivaro::parseSettings(QApplication::arguments(), QProcessEnvironment::systemEnvironment());
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

    kivaro::Windows windows(parsed.settings);
    // Everything starts from the splash: the version check, then the default search and, six
    // seconds on, the main window, or else the update prompt.
    windows.splash();
    return QApplication::exec();
}
