#include "platform/processplayer.h"

#include "platform/childprocess.h"
#include "platform/trace.h"

#include <QProcess>
#include <QTextStream>

namespace kivaro {

namespace {
// Long enough for a killed process to be reaped; SIGKILL cannot be ignored.
constexpr int ReapTimeoutMs = 2000;
} // namespace

ProcessPlayer::ProcessPlayer(const QString &command, const QString &neutralAddress, QObject *parent)
    : QObject(parent)
    , m_command(QProcess::splitCommand(command))
    , m_neutralAddress(neutralAddress)
{
}

ProcessPlayer::~ProcessPlayer()
{
    stop();
}

qint64 ProcessPlayer::processId() const
{
    return m_process ? m_process->processId() : 0;
}

void ProcessPlayer::stop()
{
    QProcess *process = m_process.data();
    if (!process)
        return;
    m_process.clear();
    process->disconnect(this);
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(ReapTimeoutMs);
    }
    delete process;
}

void ProcessPlayer::reportUnavailable(const QString &message)
{
    if (m_reportedMissing)
        return;
    m_reportedMissing = true;
    QTextStream(stderr) << "kivaro: " << message << Qt::endl;
    Q_EMIT playerUnavailable(message);
}

void ProcessPlayer::setMovie(const QString &address)
{
    m_movie = address;
    stop();
    if (address == m_neutralAddress || address.isEmpty()) {
        qCInfo(lcPlayer).noquote() << QStringLiteral("player: stopped");
        return;
    }
    if (m_command.isEmpty()) {
        reportUnavailable(tr("no player command is set; nothing can be played"));
        return;
    }

    auto *process = new QProcess(this);
    process->setProgram(m_command.constFirst());
    process->setArguments(m_command.mid(1) << address);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    // The sound belongs to the program: when the program goes, however it goes, so does the player.
    dieWithProgram(*process);
    // Told after the current event: a player that fails at once must not end before its address
    // has been announced.
    const quint64 started = ++m_started;
    auto ended = [this, started] {
        QMetaObject::invokeMethod(
            this,
            [this, started] {
                if (started != m_started || !m_process)
                    return;
                qCInfo(lcPlayer).noquote() << QStringLiteral("player: ended");
                Q_EMIT playbackEnded();
            },
            Qt::QueuedConnection);
    };
    connect(process, &QProcess::finished, this, ended);
    connect(process, &QProcess::errorOccurred, this, [this, process, ended](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        reportUnavailable(
            tr("cannot start the player \"%1\": %2").arg(m_command.constFirst(), process->errorString()));
        ended();
    });
    m_process = process;
    QStringList shown;
    for (const QString &argument : process->arguments())
        shown << QLatin1Char('\'') + argument + QLatin1Char('\'');
    qCInfo(lcPlayer).noquote()
        << QStringLiteral("player: %1 %2").arg(process->program(), shown.join(QLatin1Char(' ')));
    process->start(QIODevice::ReadOnly);
}

} // namespace kivaro
