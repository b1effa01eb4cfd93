#include "platform/processplayer.h"

#include "platform/childprocess.h"
#include "platform/mpvipc.h"
#include "platform/trace.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace kivaro {

namespace {
// Long enough for a killed process to be reaped; SIGKILL cannot be ignored.
constexpr int ReapTimeoutMs = 2000;
// The longest path a local socket takes (sun_path less its terminating NUL).
constexpr qsizetype MaxSocketPathBytes = 107;
constexpr QFileDevice::Permissions NotOwner = QFileDevice::ReadGroup | QFileDevice::WriteGroup
    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
} // namespace

ProcessPlayer::ProcessPlayer(const QString &command, const QString &neutralAddress, QObject *parent)
    : QObject(parent)
    , m_command(QProcess::splitCommand(command))
    , m_neutralAddress(neutralAddress)
{
    if (isMpv(m_command)) {
        m_control = new MpvIpc(this);
        connect(m_control, &MpvIpc::endOfTrack, this, [this] { tellEnded(m_started); });
    }
}

ProcessPlayer::~ProcessPlayer()
{
    stop();
}

qint64 ProcessPlayer::processId() const
{
    return m_process ? m_process->processId() : 0;
}

bool ProcessPlayer::isMpv(const QStringList &command)
{
    return !command.isEmpty() && QFileInfo(command.constFirst()).fileName() == QLatin1String("mpv");
}

void ProcessPlayer::stop()
{
    // A player stopped here has not ended by itself: its end is not told.
    m_endTold = m_started;
    if (m_control)
        m_control->detach();
    QProcess *process = m_process.data();
    if (process) {
        m_process.clear();
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(ReapTimeoutMs);
        }
        delete process;
    }
    // With its player gone, its socket folder goes too (also when the program ends at once next).
    m_socketFolder.reset();
}

QString ProcessPlayer::nextServerPath()
{
    // The user's runtime folder is private to the user and emptied at log-out; without one, the
    // temporary folder. Either way the socket lies in a folder of its own that only we may enter.
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(base) || !QFileInfo(base).isDir())
        base = QDir::tempPath();
    auto folder = std::make_unique<QTemporaryDir>(base + QLatin1String("/kivaro-XXXXXX"));
    if (!folder->isValid())
        return {};
    QFile::setPermissions(folder->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QFile::permissions(folder->path()) & NotOwner)
        return {};
    const QString path = folder->filePath(QStringLiteral("mpv"));
    if (QFile::encodeName(path).size() > MaxSocketPathBytes)
        return {};
    m_socketFolder = std::move(folder);
    return path;
}

void ProcessPlayer::tellEnded(quint64 started)
{
    // Told after the current event: a player that fails at once must not end before its address
    // has been announced.
    QMetaObject::invokeMethod(
        this,
        [this, started] {
            if (started != m_started || m_endTold == started)
                return;
            m_endTold = started;
            qCInfo(lcPlayer).noquote() << QStringLiteral("player: ended");
            Q_EMIT playbackEnded();
        },
        Qt::QueuedConnection);
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
    const quint64 started = ++m_started;
    if (m_command.isEmpty()) {
        reportUnavailable(tr("no player command is set; nothing can be played"));
        // Nothing plays: told as a player that could not start.
        tellEnded(started);
        return;
    }

    QStringList arguments = m_command.mid(1);
    QString serverPath;
    if (m_control) {
        serverPath = nextServerPath();
        if (serverPath.isEmpty())
            qCInfo(lcPlayer).noquote() << QStringLiteral(
                "player: no private folder for mpv's IPC socket: it plays without pause, volume or seek");
        else
            arguments << QLatin1String("--input-ipc-server=") + serverPath;
    }
    arguments << address;

    auto *process = new QProcess(this);
    process->setProgram(m_command.constFirst());
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    // The sound belongs to the program: when the program goes, however it goes, so does the player.
    dieWithProgram(*process);
    connect(process, &QProcess::finished, this, [this, started] { tellEnded(started); });
    connect(process, &QProcess::errorOccurred, this, [this, process, started](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        reportUnavailable(
            tr("cannot start the player \"%1\": %2").arg(m_command.constFirst(), process->errorString()));
        tellEnded(started);
    });
    m_process = process;
    QStringList shown;
    for (const QString &argument : process->arguments())
        shown << QLatin1Char('\'') + argument + QLatin1Char('\'');
    qCInfo(lcPlayer).noquote()
        << QStringLiteral("player: %1 %2").arg(process->program(), shown.join(QLatin1Char(' ')));
    process->start(QIODevice::ReadOnly);
    if (!serverPath.isEmpty())
        m_control->attach(serverPath);
}

} // namespace kivaro
