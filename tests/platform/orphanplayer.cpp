// Starts a player through ProcessPlayer, prints the player's process id once it runs, then dies at
// once without any clean-up, as a crashing program would. tst_processplayer checks that the player
// does not outlive it.

#include "platform/processplayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    kivaro::ProcessPlayer player(QString::fromLocal8Bit(argv[1]), QStringLiteral("about:blank"));
    player.setMovie(QStringLiteral("http://127.0.0.1/track"));
    const QString started = QString::fromLocal8Bit(argv[2]);
    if (!QTest::qWaitFor([&] { return QFile::exists(started); }, 10000))
        return 3;
    std::printf("%lld\n", static_cast<long long>(player.processId()));
    std::fflush(stdout);
    std::raise(SIGKILL);
    return 4;
}
