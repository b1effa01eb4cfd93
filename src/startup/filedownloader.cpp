#include "startup/filedownloader.h"

#include "platform/events.h"
#include "platform/httptransport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace kivaro {

namespace {

// Every download fetches the whole file.
constexpr int RangeStart = 0;
constexpr int PercentScale = 100;

// The classic run-time error numbers, which the write failure text carries.
constexpr int ErrorDiskFull = 61;
constexpr int ErrorDeviceIo = 57;
constexpr int ErrorPathFileAccess = 75;
constexpr int ErrorPathNotFound = 76;

// Events run after a piece of the body only once this much time has passed since they last ran:
// a pass after every piece would cost more than moving the data. A click or a Cancel() still takes
// effect within about this time, the transport lets events run whenever it waits for data, and
// they always run around the last notifications.
constexpr qint64 EventPassIntervalNs = 1'000'000;

// Random part names practically never collide; a few more tries cover a name someone planted.
constexpr int PartNameAttempts = 8;
constexpr int PartNameBase = 16;

} // namespace

struct FileDownloader::Transfer
{
    QString url;
    QString destination;
    QString userName;
    QString password;
    qint64 announced = 0; // within 32 bits, checked when read
    qint64 received = 0;
    // The file being written, under a private, unpredictable name beside the destination. It takes
    // the destination's name only once complete, and is removed in every other case, also when the
    // downloader is deleted in the middle of a download.
    QFile part;
    bool fileOpened = false;

    Transfer() = default;
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;
    ~Transfer() { discardPart(); }

    bool openPart()
    {
        if (QFileInfo(destination).isDir())
            return false;
        for (int attempt = 0; attempt < PartNameAttempts; ++attempt) {
            const QString name = destination + QLatin1String(".part-")
                + QString::number(QRandomGenerator::system()->generate64(), PartNameBase);
            part.setFileName(name);
            // NewOnly refuses any name that exists, a planted link included.
            if (part.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
                return true;
            const QFileInfo taken(name);
            if (!taken.exists() && !taken.isSymLink())
                break; // the folder does not let us in; another name will not help
        }
        part.setFileName(QString());
        return false;
    }

    // Skips the flush to disk that an atomic save would do: a download lost to a power cut is simply
    // fetched again, and the wait would cost every download.
    bool commitPart()
    {
        part.close();
        const QFileInfo existing(destination);
        if (existing.exists())
            part.setPermissions(existing.permissions());
        // rename() replaces an existing destination in one step, where QFile::rename() refuses.
        if (std::rename(QFile::encodeName(part.fileName()).constData(),
                        QFile::encodeName(destination).constData())
            != 0)
            return false;
        part.setFileName(QString());
        return true;
    }

    void discardPart()
    {
        if (part.fileName().isEmpty())
            return;
        part.close();
        QFile::remove(part.fileName());
        part.setFileName(QString());
    }
};

bool FileDownloader::readAnnouncedLength(const QString &text, qint64 *length)
{
    constexpr qint64 Saturated = std::numeric_limits<qint64>::max() / 10 - 1;
    constexpr int Base = 10;
    constexpr int Half = 5;

    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 whole = 0;
    bool tooBig = false;
    for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 0x80; ++i) {
        if (whole > Saturated)
            tooBig = true;
        else
            whole = whole * Base + text.at(i).digitValue();
    }
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        int first = 0;
        bool restNonZero = false;
        for (bool isFirst = true; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 0x80;
             ++i, isFirst = false) {
            if (isFirst)
                first = text.at(i).digitValue();
            else if (text.at(i) != QLatin1Char('0'))
                restNonZero = true;
        }
        if (first > Half || (first == Half && (restNonZero || whole % 2 != 0)))
            ++whole;
    }
    const qint64 value = negative ? -whole : whole;
    if (tooBig || value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return false;
    *length = value;
    return true;
}

QString FileDownloader::progressText(qint64 received, qint64 announced)
{
    qint64 numerator = received * PercentScale;
    qint64 denominator = announced;
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    qint64 quotient = numerator / denominator;
    qint64 remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        ++quotient;
    return QString::number(quotient);
}

FileDownloader::FileDownloader(QObject *parent)
    : QObject(parent)
    , m_inet(new HttpTransport(this))
    , m_deadlineTimer(new QTimer(this))
{
    m_deadlineTimer->setSingleShot(true);
    connect(m_deadlineTimer, &QTimer::timeout, this, &FileDownloader::deadlinePassed);
}

FileDownloader::~FileDownloader() = default;

void FileDownloader::setTimeout(int milliseconds)
{
    m_inet->setTimeout(milliseconds);
}

void FileDownloader::Cancel()
{
    m_stop = true;
    // Closing the connection also ends a wait for a server that has gone quiet, so the download
    // stops at once instead of at the next piece of data.
    if (m_downloading)
        m_inet->cancel();
}

bool FileDownloader::DownloadFile(const QString &strURL, const QString &strDestination,
                                  const QString &UserName, const QString &Password)
{
    // A handler that runs during a download may call in again; a second transfer on the same
    // transport would mix two responses into one file.
    if (m_downloading)
        return false;
    const QPointer<FileDownloader> self(this);
    m_downloading = true;

    if (m_deadlineMs > 0)
        m_deadlineTimer->start(m_deadlineMs);

    Transfer transfer;
    transfer.url = strURL;
    transfer.destination = strDestination;
    transfer.userName = UserName;
    transfer.password = Password;

    Outcome outcome = request(transfer);
    if (outcome == Outcome::Finish && !m_stop && transfer.announced != 0)
        outcome = write(transfer);
    // Deleted by an event handler meanwhile: the transport went with us, and the partial file goes
    // with the transfer.
    if (outcome == Outcome::Destroyed)
        return false;
    const bool result = finish(transfer);
    if (self) {
        m_downloading = false;
        m_deadlineTimer->stop();
    }
    return result;
}

void FileDownloader::deadlinePassed()
{
    if (!m_downloading || m_stop)
        return;
    // A failure like any other: the partial file goes and the owner hears why.
    m_stop = true;
    m_inet->cancel();
    Q_EMIT DownloadErrors(QStringLiteral("The download took too long."));
}

FileDownloader::Outcome FileDownloader::request(Transfer &transfer)
{
    const QPointer<FileDownloader> self(this);
    const auto stopWith = [this, &self](const QString &text) {
        m_stop = true;
        Q_EMIT DownloadErrors(text);
        return self ? Outcome::Finish : Outcome::Destroyed;
    };

    m_stop = false;
    Q_EMIT DownloadEvents(QStringLiteral("Getting file information"));
    if (!self)
        return Outcome::Destroyed;
    letEventsRun();
    if (!self)
        return Outcome::Destroyed;

    m_inet->setUrl(transfer.url);
    m_inet->setUserName(transfer.userName);
    m_inet->setPassword(transfer.password);
    const QString range
        = QLatin1String("Range: bytes=") + QString::number(RangeStart) + QLatin1String("-\r\n");
    if (!m_inet->execute(QStringLiteral("GET"), range))
        return stopWith(QLatin1String("Error: ") + m_inet->errorString() + QLatin1String(" occurred."));

    while (m_inet->stillExecuting() && !m_stop) {
        letEventsRun(EventWait::Block);
        if (!self)
            return Outcome::Destroyed;
    }
    if (m_stop)
        return Outcome::Finish;

    const QString block = m_inet->header();
    const QString status = statusField(block);
    if (status == QLatin1String("200") || status == QLatin1String("206")) {
        // the file follows
    } else if (status == QLatin1String("204")) {
        return stopWith(QStringLiteral("Nothing to download!"));
    } else if (status == QLatin1String("401")) {
        return stopWith(QStringLiteral("Authorization failed!"));
    } else if (status == QLatin1String("404")) {
        return stopWith(QLatin1String("The file, \"") + m_inet->url() + QLatin1String("\" was not found!"));
    } else if (status == QLatin1String("\r\n")) {
        return stopWith(QStringLiteral("Cannot establish connection."));
    } else {
        const qsizetype cr = block.indexOf(QLatin1Char('\r'));
        QString firstLine = cr < 0 ? QString() : block.left(cr + 1);
        if (firstLine.isEmpty())
            firstLine = QStringLiteral("<nothing>");
        return stopWith(QLatin1String("The server returned the following response:\r\r") + firstLine);
    }

    if (!readAnnouncedLength(m_inet->header(QStringLiteral("Content-Length")), &transfer.announced))
        return stopWith(QStringLiteral("Error: Overflow occurred."));
    if (transfer.announced == 0)
        return Outcome::Finish;
    // Refused before the body is read: a server must not fill the disk or keep the owner waiting
    // for a file it could never want.
    if (m_maximumBytes > 0 && transfer.announced > m_maximumBytes)
        return stopWith(QStringLiteral("The file is too large: %1 bytes, where at most %2 are accepted.")
                            .arg(transfer.announced)
                            .arg(m_maximumBytes));

    if (freeSpace(transfer.destination) < transfer.announced)
        return stopWith(QStringLiteral("There is not enough free space on disk for this file."));

    letEventsRun();
    if (!self)
        return Outcome::Destroyed;
    transfer.received = 0;
    return Outcome::Finish;
}

FileDownloader::Outcome FileDownloader::write(Transfer &transfer)
{
    const QPointer<FileDownloader> self(this);
    const auto failed = [&] {
        const bool full = transfer.part.error() == QFileDevice::ResourceError;
        writeFailure(transfer, full ? ErrorDiskFull : ErrorDeviceIo,
                     full ? QStringLiteral("Disk full") : QStringLiteral("Device I/O error"));
        return self ? Outcome::Finish : Outcome::Destroyed;
    };

    // The folder part ends with the last separator; only that last level is ever created.
    const qsizetype separator = transfer.destination.lastIndexOf(QLatin1Char('/'));
    if (separator >= 0) {
        const QString folder = transfer.destination.left(separator + 1);
        if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
            const QString parent = QFileInfo(transfer.destination.left(separator)).absolutePath();
            if (QFileInfo(parent).isDir())
                writeFailure(transfer, ErrorPathFileAccess, QStringLiteral("Path/File access error"));
            else
                writeFailure(transfer, ErrorPathNotFound, QStringLiteral("Path not found"));
            return self ? Outcome::Finish : Outcome::Destroyed;
        }
    }

    if (!transfer.openPart()) {
        writeFailure(transfer, ErrorPathFileAccess, QStringLiteral("Path/File access error"));
        return self ? Outcome::Finish : Outcome::Destroyed;
    }
    transfer.fileOpened = true;

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    bool eventsOwed = false;
    const auto runEvents = [&] {
        letEventsRun();
        sinceEvents.start();
        eventsOwed = false;
        return self ? Outcome::Finish : Outcome::Destroyed;
    };
    for (;;) {
        const QByteArray chunk = m_inet->getChunk(ChunkBytes);
        if (!self)
            return Outcome::Destroyed;
        if (!chunk.isEmpty() && transfer.part.write(chunk) != chunk.size())
            return failed();
        // Before the last notification, as after every piece when each had its own pass.
        if (chunk.isEmpty() && eventsOwed && runEvents() == Outcome::Destroyed)
            return Outcome::Destroyed;
        if (m_stop)
            break;
        transfer.received += chunk.size();
        Q_EMIT DownloadProgress(progressText(transfer.received, transfer.announced));
        if (!self)
            return Outcome::Destroyed;
        // Past the announced length the download has failed whatever follows; reading on would
        // only let a server fill the disk.
        if (transfer.received > transfer.announced)
            break;
        eventsOwed = true;
        if ((chunk.isEmpty() || sinceEvents.nsecsElapsed() >= EventPassIntervalNs)
            && runEvents() == Outcome::Destroyed)
            return Outcome::Destroyed;
        if (chunk.isEmpty())
            break;
    }

    // A complete file is kept, also when Cancel() came after its last byte; only the completion
    // notification and the result tell a stopped download apart.
    if (transfer.received == transfer.announced) {
        if (!transfer.commitPart()) {
            writeFailure(transfer, ErrorPathFileAccess, QStringLiteral("Path/File access error"));
            return self ? Outcome::Finish : Outcome::Destroyed;
        }
    } else {
        transfer.discardPart();
    }
    return Outcome::Finish;
}

void FileDownloader::writeFailure(Transfer &transfer, int number, const QString &description)
{
    m_stop = true;
    transfer.discardPart();
    Q_EMIT DownloadErrors(QLatin1String("Cannot write file to disk.\r\rError ") + QString::number(number)
                          + QLatin1String(": ") + description);
}

bool FileDownloader::finish(Transfer &transfer)
{
    const QPointer<FileDownloader> self(this);
    transfer.discardPart();

    bool result = false;
    if (transfer.received == transfer.announced) {
        result = !m_stop;
        if (result) {
            Q_EMIT DowloadComplete();
            if (!self)
                return result;
        }
    } else if (!m_stop && transfer.fileOpened) {
        Q_EMIT DownloadErrors(QStringLiteral("The connection with the server was reset."));
        if (!self)
            return result;
    }
    m_inet->cancel();
    return result;
}

qint64 FileDownloader::freeSpace(const QString &destination) const
{
    // Paths here have no drive letters: the space that counts is that of the volume the file will
    // land on, found through the nearest folder on its path that exists already (its own folder may
    // still have to be created).
    QString folder = QFileInfo(destination).absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            break;
        folder = parent;
    }
    const QStorageInfo volume(folder);
    if (!volume.isValid() || !volume.isReady())
        return 0;
    return std::max<qint64>(0, volume.bytesAvailable());
}

} // namespace kivaro
