#pragma once

#include <QObject>
#include <QString>

class QTimer;

namespace kivaro {

class HttpTransport;

// Fetches one file over HTTP into a local path and tells its owner how it goes through four
// notifications. A download runs to its end inside DownloadFile(), which lets window events run while
// it waits, so the owner's windows stay responsive and an event handler may call Cancel() meanwhile.
//
// The body moves in pieces of at most ChunkBytes, each written at once; only one piece is ever held
// in memory, whatever the size of the file. The file is written under a private temporary name
// beside the destination and takes the destination's name only once it is complete, so a failed or
// cancelled download never leaves a partial file and never destroys a file that was there before.
class FileDownloader : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype ChunkBytes = 1024;

    explicit FileDownloader(QObject *parent = nullptr);
    ~FileDownloader() override;

    // Fetches strURL into strDestination, creating the destination's folder when it is missing (one
    // level). UserName and Password, when given, are sent to the server. Returns once the transfer
    // has ended in any way: true when the whole announced length was received and nothing stopped
    // the download. A call made while this downloader is already busy is refused with false and
    // leaves the running download alone.
    bool DownloadFile(const QString &strURL, const QString &strDestination, const QString &UserName = {},
                      const QString &Password = {});
    // Stops the running download at its next check point; the download then ends without an error
    // text and without completion, and its partial file is removed (a file whose last announced
    // byte had already arrived is complete and stays).
    void Cancel();

    bool isDownloading() const { return m_downloading; }

    // How long the server may stay silent before the download is given up.
    void setTimeout(int milliseconds);
    // The largest file this downloader accepts; a larger announced length is refused before any of
    // the body is read. 0, the default, accepts any length.
    void setMaximumBytes(qint64 bytes) { m_maximumBytes = bytes; }
    qint64 maximumBytes() const { return m_maximumBytes; }
    // How long a whole download may take, however busy the server keeps it; past that it is given
    // up as a failure. 0, the default, sets no such limit (the silence time-out still holds).
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    int deadline() const { return m_deadlineMs; }

    // Reads an announced length the way the classic Val() reads a number: leading blanks skipped,
    // an optional sign, the leading digits and an optional fraction, rounded to a whole number with
    // halves going to the even neighbour; 0 when the text does not start with a number. Returns
    // false when the value does not fit in 32 bits.
    static bool readAnnouncedLength(const QString &text, qint64 *length);
    // received ÷ announced × 100 as decimal digits, rounded with halves going to the even
    // neighbour, computed exactly rather than in floating point.
    static QString progressText(qint64 received, qint64 announced);

Q_SIGNALS:
    void DownloadErrors(const QString &strError);
    void DownloadEvents(const QString &strEvent);
    void DowloadComplete();
    void DownloadProgress(const QString &intPercent);

protected:
    // Bytes that the user may still write on the volume that will hold the destination; 0 when it
    // cannot be told.
    virtual qint64 freeSpace(const QString &destination) const;

private:
    enum class Outcome { Finish, Destroyed };
    struct Transfer;

    Outcome request(Transfer &transfer);
    Outcome write(Transfer &transfer);
    bool finish(Transfer &transfer);
    void writeFailure(Transfer &transfer, int number, const QString &description);
    void deadlinePassed();

    HttpTransport *m_inet;
    QTimer *m_deadlineTimer;
    qint64 m_maximumBytes = 0;
    int m_deadlineMs = 0;
    bool m_stop = false;
    bool m_downloading = false;
};

} // namespace kivaro
