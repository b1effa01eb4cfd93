#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>

class QTimer;

namespace kivaro {

// Finds the first video for a query through the yt-dlp program, for today's video site, whose pages
// the design's engine cannot read. It runs the configured command (split once, never through a
// shell) with the query as one argument, and reads the first hit's identifier and title from its
// output while the event loop goes on. It only finds: what is then played and shown is the engine's
// business.
//
// One search runs at a time: a newer one ends the process of the older, which is then reaped in the
// background. A process that takes longer than the time-out is ended and reported.
class YtDlpSearch : public QObject
{
    Q_OBJECT

public:
    // A search of yt-dlp loads the site's search page and reads it: a few seconds usually, rarely
    // more than ten on a slow line. Thirty leaves room for that and for a cold start of its
    // interpreter, and still ends a hanging one before the user gives up on the program.
    static constexpr int DefaultTimeoutMs = 30000;
    // Longer than any identifier or title the site gives; anything longer is not what we asked for.
    static constexpr qsizetype MaxLineBytes = 4096;
    // The output we ask for is two lines: the identifier and the title.
    static constexpr int ExpectedLines = 2;

    explicit YtDlpSearch(const QString &command, QObject *parent = nullptr);
    ~YtDlpSearch() override;

    // Starts a search; a search still running is ended first.
    void search(const QString &query);
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // The process of the running search, or 0 (for tests and --verbose).
    qint64 processId() const;

    // What yt-dlp is given after the command: print the first hit's identifier and title, one a
    // line, without downloading anything.
    static QStringList arguments(const QString &query);
    // The video page's address for an identifier; the player plays it through its own yt-dlp support.
    static QString videoAddress(const QString &identifier);
    // True for a non-empty identifier of letters, digits, "_" and "-" only.
    static bool isIdentifier(QByteArrayView text);

Q_SIGNALS:
    // The first hit's identifier is known; its title may still be on its way.
    void identified(const QString &identifier);
    // The search ended with a video. The title may be empty when yt-dlp gave none; it is as yt-dlp
    // printed it (the engine makes every title fit to show).
    void found(const QString &address, const QString &title);
    // The search ended without a video, or with output that is not what was asked for.
    void nothingFound();
    // yt-dlp could not be started, failed, or took too long; the text says why, for the user.
    void failed(const QString &reason);

private:
    void cancel();
    void readOutput();
    void readErrors();
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processError(QProcess::ProcessError error);
    void timedOut();
    void readResult();
    QString lastErrorLine() const;
    QString programName() const;

    QStringList m_command;
    int m_timeoutMs = DefaultTimeoutMs;
    QPointer<QProcess> m_process;
    QTimer *m_timer = nullptr;
    QByteArray m_output;
    QByteArray m_errors; // the end of its stderr, for the reason of a failure
    bool m_identified = false; // the identifier's line has come
};

} // namespace kivaro
