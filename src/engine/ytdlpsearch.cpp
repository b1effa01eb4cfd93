#include "engine/ytdlpsearch.h"

#include "platform/childprocess.h"
#include "platform/textdecoding.h"
#include "platform/trace.h"

#include <QTimer>

namespace kivaro {

namespace {

// Enough of the end of its stderr for the last line, however much it writes.
constexpr qsizetype MaxErrorBytes = 4096;
const QLatin1String SearchPrefix("ytsearch1:");
const QLatin1String VideoPageAddress("https://www.youtube.com/watch?v=");

} // namespace

YtDlpSearch::YtDlpSearch(const QString &command, QObject *parent)
    : QObject(parent)
    , m_command(QProcess::splitCommand(command))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &YtDlpSearch::timedOut);
}

YtDlpSearch::~YtDlpSearch()
{
    // The processes still running are children of this object: deleting them reaps them, once
    // they and theirs are killed.
    if (m_process)
        m_process->disconnect(this);
    for (QProcess *process : findChildren<QProcess *>(Qt::FindDirectChildrenOnly))
        killProcessGroup(*process);
}

QStringList YtDlpSearch::arguments(const QString &query)
{
    // --flat-playlist takes the hit as the search page lists it, without loading the video's own
    // page: faster, and the player resolves the video itself. --print implies --simulate, so nothing
    // is downloaded; --skip-download says so for any configuration of the user's that would not.
    return {
        // The user's configuration files could add anything, --exec among it: none is read.
        QStringLiteral("--ignore-config"), QStringLiteral("--no-warnings"),
        QStringLiteral("--skip-download"), QStringLiteral("--no-playlist"),
        QStringLiteral("--flat-playlist"), QStringLiteral("--encoding"),
        QStringLiteral("utf-8"),           QStringLiteral("--print"),
        QStringLiteral("%(id)s"),          QStringLiteral("--print"),
        QStringLiteral("%(title)s"),       SearchPrefix + query,
    };
}

QString YtDlpSearch::videoAddress(const QString &identifier)
{
    return VideoPageAddress + identifier;
}

bool YtDlpSearch::isIdentifier(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
            || c == '_' || c == '-';
        if (!allowed)
            return false;
    }
    return true;
}

qint64 YtDlpSearch::processId() const
{
    return m_process ? m_process->processId() : 0;
}

QString YtDlpSearch::programName() const
{
    return m_command.isEmpty() ? QString() : m_command.constFirst();
}

void YtDlpSearch::cancel()
{
    m_timer->stop();
    m_output.clear();
    m_errors.clear();
    m_identified = false;
    QProcess *process = m_process.data();
    if (!process)
        return;
    m_process.clear();
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // Reaped in the background: the window goes on while the process ends. Whatever it started
    // goes with it.
    connect(process, &QProcess::stateChanged, process, [process](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning)
            process->deleteLater();
    });
    killProcessGroup(*process);
}

void YtDlpSearch::search(const QString &query)
{
    cancel();
    if (m_command.isEmpty()) {
        Q_EMIT failed(tr("No yt-dlp command is set (see --yt-dlp)."));
        return;
    }

    auto *process = new QProcess(this);
    process->setProgram(m_command.constFirst());
    process->setArguments(m_command.mid(1) + arguments(query));
    process->setStandardInputFile(QProcess::nullDevice());
    // In a process group of its own, so that ending the search ends what yt-dlp started too.
    dieWithProgram(*process, ProcessGroup::Own);
    connect(process, &QProcess::readyReadStandardOutput, this, &YtDlpSearch::readOutput);
    connect(process, &QProcess::readyReadStandardError, this, &YtDlpSearch::readErrors);
    connect(process, &QProcess::finished, this, &YtDlpSearch::processFinished);
    connect(process, &QProcess::errorOccurred, this, &YtDlpSearch::processError);
    m_process = process;

    QStringList shown;
    for (const QString &argument : process->arguments())
        shown << QLatin1Char('\'') + argument + QLatin1Char('\'');
    qCInfo(lcEngine).noquote()
        << QStringLiteral("search through %1 %2").arg(process->program(), shown.join(u' '));
    m_timer->start(m_timeoutMs);
    process->start(QIODevice::ReadOnly);
}

void YtDlpSearch::readOutput()
{
    if (!m_process)
        return;
    m_output += m_process->readAllStandardOutput();

    // Checked as it comes, so that no flood of output is ever kept.
    const QList<QByteArray> lines = m_output.split('\n');
    const qsizetype complete = lines.size() - 1; // the last piece has no line end yet
    bool expected = complete < ExpectedLines || (complete == ExpectedLines && lines.constLast().isEmpty());
    for (const QByteArray &line : lines)
        expected = expected && line.size() <= MaxLineBytes;
    if (expected && complete >= 1 && !isIdentifier(lines.constFirst()))
        expected = false;
    if (!expected) {
        qCInfo(lcEngine).noquote() << QStringLiteral(
            "yt-dlp printed something else than an identifier and a title");
        cancel();
        Q_EMIT nothingFound();
        return;
    }
    if (complete >= 1 && !m_identified) {
        m_identified = true;
        const QString identifier = QString::fromLatin1(lines.constFirst());
        qCInfo(lcEngine).noquote() << QStringLiteral("first video: %1").arg(identifier);
        Q_EMIT identified(identifier);
    }
}

void YtDlpSearch::readErrors()
{
    if (!m_process)
        return;
    m_errors += m_process->readAllStandardError();
    if (m_errors.size() > MaxErrorBytes)
        m_errors.remove(0, m_errors.size() - MaxErrorBytes);
}

QString YtDlpSearch::lastErrorLine() const
{
    const QList<QByteArray> lines = m_errors.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString text = oneLineText(QString::fromUtf8(*line)).trimmed();
        if (!text.isEmpty())
            return text;
    }
    return {};
}

void YtDlpSearch::processError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || !m_process)
        return;
    const QString reason = m_process->errorString();
    qCInfo(lcEngine).noquote() << QStringLiteral("cannot start %1: %2").arg(programName(), reason);
    cancel();
    Q_EMIT failed(tr("Cannot start yt-dlp (\"%1\"): %2").arg(programName(), reason));
}

void YtDlpSearch::timedOut()
{
    qCInfo(lcEngine).noquote() << QStringLiteral("yt-dlp took too long");
    cancel();
    Q_EMIT failed(tr("yt-dlp gave no answer in %1 s; the search was stopped.").arg(m_timeoutMs / 1000.0));
}

void YtDlpSearch::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (!m_process)
        return;
    // Whatever is still in the pipes belongs to the answer.
    readErrors();
    readOutput();
    if (!m_process)
        return; // the output was not what was asked for
    const QString errorLine = lastErrorLine();
    qCInfo(lcEngine).noquote() << QStringLiteral("yt-dlp ended with status %1").arg(exitCode);

    QString reason;
    if (exitStatus == QProcess::CrashExit)
        reason = errorLine.isEmpty() ? tr("it crashed or was killed") : errorLine;
    else if (exitCode != 0)
        reason = errorLine.isEmpty() ? tr("it ended with status %1").arg(exitCode) : errorLine;
    else if (m_output.isEmpty() && !errorLine.isEmpty())
        reason = errorLine;
    if (!reason.isEmpty()) {
        cancel();
        Q_EMIT failed(tr("yt-dlp could not search: %1").arg(reason));
        return;
    }
    readResult();
}

void YtDlpSearch::readResult()
{
    // The last line may come without its line end.
    const QList<QByteArray> lines = m_output.split('\n');
    const QByteArray identifier = lines.constFirst();
    const QString title = lines.size() > 1 ? QString::fromUtf8(lines.at(1)) : QString();
    cancel();
    if (!isIdentifier(identifier)) {
        qCInfo(lcEngine).noquote() << QStringLiteral("yt-dlp found nothing");
        Q_EMIT nothingFound();
        return;
    }
    Q_EMIT found(videoAddress(QString::fromLatin1(identifier)), title);
}

} // namespace kivaro
