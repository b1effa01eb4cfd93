#include "scriptedhttpserver.h"
#include "startup/filedownloader.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using kivaro::FileDownloader;
using kivaro::test::ScriptedHttpServer;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

constexpr qint64 RealFreeSpace = -1;
constexpr int ShortTimeoutMs = 300;
constexpr int LongTimeoutMs = 60000;

// A downloader that can be told how much room its volume has.
class SizedVolumeDownloader : public FileDownloader
{
public:
    qint64 free = RealFreeSpace;

protected:
    qint64 freeSpace(const QString &destination) const override
    {
        return free == RealFreeSpace ? FileDownloader::freeSpace(destination) : free;
    }
};

// Everything one downloader told its owner.
struct Recorder
{
    explicit Recorder(FileDownloader *downloader)
        : errors(downloader, &FileDownloader::DownloadErrors)
        , events(downloader, &FileDownloader::DownloadEvents)
        , complete(downloader, &FileDownloader::DowloadComplete)
        , progress(downloader, &FileDownloader::DownloadProgress)
    { }
    static QStringList texts(const QSignalSpy &spy)
    {
        QStringList list;
        for (const QList<QVariant> &arguments : spy)
            list.append(arguments.at(0).toString());
        return list;
    }
    QSignalSpy errors;
    QSignalSpy events;
    QSignalSpy complete;
    QSignalSpy progress;
};

QByteArray repeated(char c, qsizetype n)
{
    return QByteArray(n, c);
}

} // namespace

class TestFileDownloader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void outcome_data();
    void outcome();
    void request_data();
    void request();
    void progressEndsWithTheFinalValueTwice();
    void cancel_data();
    void cancel();
    void silentServer_data();
    void silentServer();
    void limits_data();
    void limits();
    void callWhileBusyIsRefused();
    void deletedDuringDownload();
    void writeFailure();
    void announcedLength_data();
    void announcedLength();
    void progressText_data();
    void progressText();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Every file under the test folder, partial and temporary ones included.
    QStringList files() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedHttpServer> m_server;
};

void TestFileDownloader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_server = std::make_unique<ScriptedHttpServer>();
    QVERIFY(m_server->listen());
}

QStringList TestFileDownloader::files() const
{
    QStringList list;
    QDirIterator it(m_dir->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        list.append(QDir(m_dir->path()).relativeFilePath(it.next()));
    return list;
}

void TestFileDownloader::outcome_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("url"); // empty: the scripted server's /NewVers.exe
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QByteArray>("before"); // the destination's content before; null: no file
    QTest::addColumn<qint64>("free");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("errors"); // <URL> stands for the requested URL
    QTest::addColumn<QByteArray>("after"); // null: no file

    const QByteArray body = ScriptedHttpServer::pattern(0, 3000);
    const Reply ok = ScriptedHttpServer::reply("HTTP/1.1 200 OK", body);
    const Reply closesEarly { "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n", body, 0, false };
    const QString file = QStringLiteral("NewVers.exe");
    const QByteArray none;
    const QByteArray old("old installer");
    const QString reset = QStringLiteral("The connection with the server was reset.");
    const QString response = QStringLiteral("The server returned the following response:\r\r");
    const QString nothing = response + QLatin1String("<nothing>");

    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/NewVers.exe").arg(closed.serverPort());
    closed.close();

    QTest::newRow("200") << ok << QString() << file << none << RealFreeSpace << true << QStringList() << body;
    QTest::newRow("206 like 200") << ScriptedHttpServer::reply("HTTP/1.1 206 Partial Content", body,
                                                               "Content-Range: bytes 0-2999/3000\r\n")
                                  << QString() << file << none << RealFreeSpace << true << QStringList()
                                  << body;
    QTest::newRow("bare LF line ends")
        << Reply { "HTTP/1.0 200 OK\nContent-Length: 3000\n\n", body, 0, false } << QString() << file << none
        << RealFreeSpace << true << QStringList() << body;
    QTest::newRow("100 Continue first")
        << Reply { "HTTP/1.1 100 Continue\r\n\r\n" + ok.head, body, 0, false } << QString() << file << none
        << RealFreeSpace << true << QStringList() << body;
    QTest::newRow("n x 1024 + 1 bytes")
        << ScriptedHttpServer::patternReply(5 * 1024 + 1) << QString() << file << none << RealFreeSpace
        << true << QStringList() << ScriptedHttpServer::pattern(0, 5 * 1024 + 1);
    QTest::newRow("missing folder created") << ok << QString() << QStringLiteral("new/NewVers.exe") << none
                                            << RealFreeSpace << true << QStringList() << body;
    QTest::newRow("existing file replaced")
        << ok << QString() << file << old << RealFreeSpace << true << QStringList() << body;
    QTest::newRow("no Content-Length") << Reply { "HTTP/1.1 200 OK\r\n\r\n", body, 0, false } << QString()
                                       << file << none << RealFreeSpace << true << QStringList() << none;
    QTest::newRow("Content-Length 0")
        << Reply { "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", body, 0, false } << QString() << file
        << none << RealFreeSpace << true << QStringList() << none;
    QTest::newRow("Content-Length half to even")
        << Reply { "HTTP/1.1 200 OK\r\ncontent-length:  2999.5\r\n\r\n", body, 0, false } << QString() << file
        << none << RealFreeSpace << true << QStringList() << body;
    QTest::newRow("204") << ScriptedHttpServer::reply("HTTP/1.1 204 No Content", {}) << QString() << file
                         << none << RealFreeSpace << false
                         << QStringList { QStringLiteral("Nothing to download!") } << none;
    QTest::newRow("401") << ScriptedHttpServer::reply("HTTP/1.1 401 Unauthorized", "no") << QString() << file
                         << none << RealFreeSpace << false
                         << QStringList { QStringLiteral("Authorization failed!") } << none;
    QTest::newRow("404 names the URL")
        << ScriptedHttpServer::reply("HTTP/1.1 404 Not Found", "no") << QString() << file << none
        << RealFreeSpace << false << QStringList { QStringLiteral("The file, \"<URL>\" was not found!") }
        << none;
    QTest::newRow("status field CR LF")
        << Reply { "HTTP/1.0 \r\n\r\n", body, 0, false } << QString() << file << none << RealFreeSpace
        << false << QStringList { QStringLiteral("Cannot establish connection.") } << none;
    QTest::newRow("other status") << ScriptedHttpServer::reply("HTTP/1.1 500 Internal Server Error", "oops")
                                  << QString() << file << none << RealFreeSpace << false
                                  << QStringList { response
                                                   + QLatin1String("HTTP/1.1 500 Internal Server Error\r") }
                                  << none;
    QTest::newRow("closed without answer")
        << Reply {} << QString() << file << none << RealFreeSpace << false << QStringList { nothing } << none;
    QTest::newRow("no line end") << Reply { "garbage", {}, 0, false } << QString() << file << none
                                 << RealFreeSpace << false << QStringList { nothing } << none;
    QTest::newRow("endless header") << Reply { "HTTP/1.1 200 OK\r\nX: " + repeated('a', 70000), {}, 0, false }
                                    << QString() << file << none << RealFreeSpace << false
                                    << QStringList { nothing } << none;
    QTest::newRow("connection refused")
        << Reply {} << refused << file << none << RealFreeSpace << false << QStringList { nothing } << none;
    QTest::newRow("not http") << Reply {} << QStringLiteral("ftp://127.0.0.1/NewVers.exe") << file << none
                              << RealFreeSpace << false
                              << QStringList { QStringLiteral("Error: Unsupported protocol occurred.") }
                              << none;
    QTest::newRow("no host") << Reply {} << QStringLiteral("http:///NewVers.exe") << file << none
                             << RealFreeSpace << false
                             << QStringList { QStringLiteral("Error: URL is malformed occurred.") } << none;
    QTest::newRow("Content-Length beyond 32 bits")
        << Reply { "HTTP/1.1 200 OK\r\nContent-Length: 4294967296\r\n\r\n", body, 0, false } << QString()
        << file << none << RealFreeSpace << false
        << QStringList { QStringLiteral("Error: Overflow occurred.") } << none;
    QTest::newRow("closes inside the header")
        << Reply { "HTTP/1.1 200 OK\r\nContent-Length: 3000", {}, 0, false } << QString() << file << none
        << RealFreeSpace << false << QStringList { reset } << none;
    QTest::newRow("closes early") << closesEarly << QString() << file << none << RealFreeSpace << false
                                  << QStringList { reset } << none;
    QTest::newRow("more than announced")
        << Reply { "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", body, 64 << 20, false } << QString()
        << file << none << RealFreeSpace << false << QStringList { reset } << none;
    QTest::newRow("failure keeps an existing file")
        << closesEarly << QString() << file << old << RealFreeSpace << false << QStringList { reset } << old;
    QTest::newRow("free space exactly the size")
        << ok << QString() << file << none << qint64(3000) << true << QStringList() << body;
    QTest::newRow("negative Content-Length")
        << Reply { "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n", body, 0, false } << QString() << file
        << none << RealFreeSpace << false << QStringList { reset } << none;
    QTest::newRow("not enough free space")
        << ok << QString() << file << old << qint64(2999) << false
        << QStringList { QStringLiteral("There is not enough free space on disk for this file.") } << old;
    QTest::newRow("two missing folders")
        << ok << QString() << QStringLiteral("a/b/NewVers.exe") << none << RealFreeSpace << false
        << QStringList { QStringLiteral("Cannot write file to disk.\r\rError 76: Path not found") } << none;
    QTest::newRow("destination is a folder")
        << ok << QString() << QStringLiteral("folder/") << none << RealFreeSpace << false
        << QStringList { QStringLiteral("Cannot write file to disk.\r\rError 75: Path/File access error") }
        << none;
}

void TestFileDownloader::outcome()
{
    QFETCH(Reply, reply);
    QFETCH(QString, url);
    QFETCH(QString, destination);
    QFETCH(QByteArray, before);
    QFETCH(qint64, free);
    QFETCH(bool, result);
    QFETCH(QStringList, errors);
    QFETCH(QByteArray, after);

    m_server->addReply(reply);
    if (url.isEmpty())
        url = m_server->url(QStringLiteral("/NewVers.exe"));
    const QString target = path(destination);
    // An installer kept executable, say: the replacement must be so too.
    const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup;
    if (!before.isNull()) {
        QFile existing(target);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(before);
        QVERIFY(existing.setPermissions(kept));
    }
    errors.replaceInStrings(QStringLiteral("<URL>"), url);

    SizedVolumeDownloader downloader;
    downloader.free = free;
    downloader.setTimeout(LongTimeoutMs);
    Recorder recorder(&downloader);
    QCOMPARE(downloader.DownloadFile(url, target), result);

    QCOMPARE(Recorder::texts(recorder.errors), errors);
    QCOMPARE(Recorder::texts(recorder.events), QStringList { QStringLiteral("Getting file information") });
    QCOMPARE(recorder.complete.size(), result ? 1 : 0);
    // Once more has come than was announced, reading on is pointless.
    QVERIFY(recorder.progress.size() < 64);
    if (after.isNull()) {
        QCOMPARE(files(), QStringList());
    } else {
        QCOMPARE(files(), QStringList { QDir(m_dir->path()).relativeFilePath(target) });
        QFile written(target);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll() == after);
        if (!before.isNull())
            QCOMPARE(written.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), kept);
    }
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("a")))); // a failed folder level leaves nothing behind
}

void TestFileDownloader::request_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("userInfo"); // written into the URL
    QTest::addColumn<QByteArray>("authorization");

    QTest::newRow("anonymous") << QString() << QString() << QString() << QByteArray();
    QTest::newRow("user and password") << QStringLiteral("anna") << QStringLiteral("s3cret") << QString()
                                       << QByteArray("Authorization: Basic YW5uYTpzM2NyZXQ=\r\n");
    QTest::newRow("credentials in the URL") << QString() << QString() << QStringLiteral("anna:s3cret@")
                                            << QByteArray("Authorization: Basic YW5uYTpzM2NyZXQ=\r\n");
    QTest::newRow("arguments win over the URL")
        << QStringLiteral("anna") << QStringLiteral("s3cret") << QStringLiteral("bob:x@")
        << QByteArray("Authorization: Basic YW5uYTpzM2NyZXQ=\r\n");
}

void TestFileDownloader::request()
{
    QFETCH(QString, userName);
    QFETCH(QString, password);
    QFETCH(QString, userInfo);
    QFETCH(QByteArray, authorization);

    m_server->addReply(ScriptedHttpServer::reply("HTTP/1.1 200 OK", "x"));
    QString url = m_server->url(QStringLiteral("/dir/New%20Vers.exe?v=4"));
    url.insert(url.indexOf(QLatin1String("127.")), userInfo);
    FileDownloader downloader;
    QVERIFY(downloader.DownloadFile(url, path(QStringLiteral("x")), userName, password));

    QCOMPARE(m_server->requests().size(), 1);
    const QByteArray request = m_server->requests().first();
    QVERIFY2(request.startsWith("GET /dir/New%20Vers.exe?v=4 HTTP/1.0\r\n"), request.constData());
    QVERIFY(request.contains("\r\nRange: bytes=0-\r\n"));
    QVERIFY(
        request.contains(QByteArray("\r\nHost: 127.0.0.1:" + QByteArray::number(QUrl(url).port()) + "\r\n")));
    if (authorization.isEmpty())
        QVERIFY(!request.contains("Authorization"));
    else
        QVERIFY(request.contains(QByteArray("\r\n" + authorization)));
}

void TestFileDownloader::progressEndsWithTheFinalValueTwice()
{
    constexpr qint64 Length = 3 * 1024 + 1;
    m_server->addReply(ScriptedHttpServer::patternReply(Length));
    FileDownloader downloader;
    Recorder recorder(&downloader);
    QVERIFY(downloader.DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f"))));

    const QStringList progress = Recorder::texts(recorder.progress);
    QVERIFY(progress.size() >= 5); // at least four pieces, then the empty one
    QCOMPARE(progress.mid(progress.size() - 2),
             (QStringList { QStringLiteral("100"), QStringLiteral("100") }));
    for (qsizetype i = 1; i < progress.size(); ++i)
        QVERIFY(progress.at(i - 1).toInt() <= progress.at(i).toInt());
}

void TestFileDownloader::cancel_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("when");
    QTest::addColumn<QByteArray>("kept"); // the destination's content afterwards; null: no file

    // 2,000 of 10,000 bytes come, then the server goes quiet without closing.
    const Reply partial { "HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n", repeated('x', 2000), 0, true };
    // All 2,000 announced bytes come, and the server keeps the connection open.
    const Reply whole { "HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n", repeated('x', 2000), 0, true };
    QTest::newRow("from the progress handler") << partial << QStringLiteral("first piece") << QByteArray();
    QTest::newRow("while the server is silent") << partial << QStringLiteral("after 20") << QByteArray();
    QTest::newRow("while waiting for the response head")
        << Reply { {}, {}, 0, true } << QStringLiteral("waiting for the head") << QByteArray();
    QTest::newRow("after the last byte: the complete file stays")
        << whole << QStringLiteral("at 100") << repeated('x', 2000);
}

void TestFileDownloader::cancel()
{
    QFETCH(Reply, reply);
    QFETCH(QString, when);
    QFETCH(QByteArray, kept);
    m_server->addReply(reply);
    FileDownloader downloader;
    downloader.setTimeout(LongTimeoutMs);
    Recorder recorder(&downloader);
    connect(&downloader, &FileDownloader::DownloadEvents, this, [&] {
        if (when == QLatin1String("waiting for the head"))
            QTimer::singleShot(50, &downloader, &FileDownloader::Cancel);
    });
    connect(&downloader, &FileDownloader::DownloadProgress, this, [&](const QString &percent) {
        if (when == QLatin1String("first piece")
            || (when == QLatin1String("at 100") && percent == QLatin1String("100")))
            downloader.Cancel();
        else if (when == QLatin1String("after 20") && percent == QLatin1String("20"))
            QTimer::singleShot(10, &downloader, &FileDownloader::Cancel);
    });

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!downloader.DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f"))));
    QVERIFY(clock.elapsed() < LongTimeoutMs / 2);
    QCOMPARE(Recorder::texts(recorder.errors), QStringList());
    QCOMPARE(recorder.complete.size(), 0);
    if (kept.isNull()) {
        QCOMPARE(files(), QStringList());
    } else {
        QCOMPARE(files(), QStringList { QStringLiteral("f") });
        QFile written(path(QStringLiteral("f")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll() == kept);
    }
}

void TestFileDownloader::silentServer_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("error");
    QTest::newRow("before the header")
        << Reply { {}, {}, 0, true }
        << QStringLiteral("The server returned the following response:\r\r<nothing>");
    QTest::newRow("in the body") << Reply { "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n", "abc", 0,
                                            true }
                                 << QStringLiteral("The connection with the server was reset.");
}

void TestFileDownloader::silentServer()
{
    QFETCH(Reply, reply);
    QFETCH(QString, error);
    m_server->addReply(reply);
    FileDownloader downloader;
    downloader.setTimeout(ShortTimeoutMs);
    Recorder recorder(&downloader);
    QVERIFY(!downloader.DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f"))));
    QCOMPARE(Recorder::texts(recorder.errors), QStringList { error });
    QCOMPARE(files(), QStringList());
}

void TestFileDownloader::limits_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<qint64>("maximum");
    QTest::addColumn<int>("deadline");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<bool>("bodyRead"); // whether any progress was told

    const QString tooLarge
        = QStringLiteral("The file is too large: 3000 bytes, where at most 2999 are accepted.");
    const QString tooLong = QStringLiteral("The download took too long.");
    const Reply ok = ScriptedHttpServer::patternReply(3000);
    Reply stalls { "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n", ScriptedHttpServer::pattern(0, 2048), 0,
                   true };
    QTest::newRow("exactly the maximum") << ok << qint64(3000) << 0 << QStringList() << true;
    QTest::newRow("one byte over: refused before the body")
        << ok << qint64(2999) << 0 << QStringList { tooLarge } << false;
    QTest::newRow("over, and the body never comes")
        << Reply { "HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n", {}, 0, true } << qint64(2999) << 0
        << QStringList { tooLarge } << false;
    QTest::newRow("in time for the deadline") << ok << qint64(0) << 10'000 << QStringList() << true;
    QTest::newRow("past the deadline in the body")
        << stalls << qint64(0) << 300 << QStringList { tooLong } << true;
    QTest::newRow("past the deadline before the head")
        << Reply { {}, {}, 0, true } << qint64(0) << 300 << QStringList { tooLong } << false;
}

// A server that keeps sending, or keeps the download waiting just short of the silence time-out,
// cannot fill the disk nor hold the download for ever.
void TestFileDownloader::limits()
{
    QFETCH(Reply, reply);
    QFETCH(qint64, maximum);
    QFETCH(int, deadline);
    QFETCH(QStringList, errors);
    QFETCH(bool, bodyRead);
    m_server->addReply(reply);
    FileDownloader downloader;
    downloader.setTimeout(LongTimeoutMs);
    downloader.setMaximumBytes(maximum);
    downloader.setDeadline(deadline);
    Recorder recorder(&downloader);
    QElapsedTimer clock;
    clock.start();
    const bool result
        = downloader.DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f")));
    QVERIFY(clock.elapsed() < LongTimeoutMs / 2);
    QCOMPARE(result, errors.isEmpty());
    QCOMPARE(Recorder::texts(recorder.errors), errors);
    QCOMPARE(!recorder.progress.isEmpty(), bodyRead);
    QCOMPARE(recorder.complete.size(), errors.isEmpty() ? 1 : 0);
    QCOMPARE(files(), errors.isEmpty() ? QStringList { QStringLiteral("f") } : QStringList());
}

void TestFileDownloader::callWhileBusyIsRefused()
{
    const QByteArray body = ScriptedHttpServer::pattern(0, 4000);
    m_server->addReply(ScriptedHttpServer::reply("HTTP/1.1 200 OK", body), 2);
    FileDownloader downloader;
    QList<bool> nested;
    connect(&downloader, &FileDownloader::DownloadProgress, this, [&] {
        if (nested.isEmpty())
            nested.append(
                downloader.DownloadFile(m_server->url(QStringLiteral("/g")), path(QStringLiteral("g"))));
    });
    QVERIFY(downloader.DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f"))));
    QCOMPARE(nested, QList<bool> { false });
    QCOMPARE(m_server->requests().size(), 1);
    QFile written(path(QStringLiteral("f")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == body);
}

void TestFileDownloader::deletedDuringDownload()
{
    m_server->addReply(
        Reply { "HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n", repeated('x', 2000), 0, true });
    QPointer<FileDownloader> downloader = new FileDownloader;
    connect(downloader, &FileDownloader::DownloadProgress, this,
            [&] { QTimer::singleShot(0, this, [&] { delete downloader.data(); }); });
    QVERIFY(!downloader->DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f"))));
    QVERIFY(downloader.isNull());
    QCOMPARE(files(), QStringList());
}

void TestFileDownloader::writeFailure()
{
    // Let the system refuse writes past 4 KiB, as a full disk would.
    constexpr rlim_t Limit = 4096;
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = Limit;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);

    m_server->addReply(ScriptedHttpServer::patternReply(64 * 1024));
    FileDownloader downloader;
    Recorder recorder(&downloader);
    const bool result
        = downloader.DownloadFile(m_server->url(QStringLiteral("/f")), path(QStringLiteral("f")));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!result);
    QCOMPARE(Recorder::texts(recorder.errors),
             QStringList { QStringLiteral("Cannot write file to disk.\r\rError 57: Device I/O error") });
    QCOMPARE(files(), QStringList());
}

void TestFileDownloader::announcedLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<qint64>("length");
    QTest::newRow("digits") << QStringLiteral("1234") << true << qint64(1234);
    QTest::newRow("blanks, then trailing junk") << QStringLiteral(" \t42abc") << true << qint64(42);
    QTest::newRow("not a number") << QStringLiteral("abc") << true << qint64(0);
    QTest::newRow("empty") << QString() << true << qint64(0);
    QTest::newRow("half to even, down") << QStringLiteral("12.5") << true << qint64(12);
    QTest::newRow("half to even, up") << QStringLiteral("13.5") << true << qint64(14);
    QTest::newRow("above half") << QStringLiteral("12.50001") << true << qint64(13);
    QTest::newRow("largest") << QStringLiteral("2147483647") << true << qint64(2147483647);
    QTest::newRow("rounds past 32 bits") << QStringLiteral("2147483647.5") << false << qint64(0);
    QTest::newRow("33 bits") << QStringLiteral("4294967296") << false << qint64(0);
    QTest::newRow("far beyond") << QStringLiteral("99999999999999999999999999") << false << qint64(0);
}

void TestFileDownloader::announcedLength()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QFETCH(qint64, length);
    qint64 read = -1;
    QCOMPARE(FileDownloader::readAnnouncedLength(text, &read), fits);
    if (fits)
        QCOMPARE(read, length);
}

void TestFileDownloader::progressText_data()
{
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("announced");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.5 to 0") << qint64(1) << qint64(200) << QStringLiteral("0");
    QTest::newRow("1.5 to 2") << qint64(3) << qint64(200) << QStringLiteral("2");
    QTest::newRow("2.5 to 2") << qint64(1024) << qint64(40960) << QStringLiteral("2");
    QTest::newRow("7.5 to 8") << qint64(3072) << qint64(40960) << QStringLiteral("8");
    QTest::newRow("just below half") << qint64(1023) << qint64(40960) << QStringLiteral("2");
    QTest::newRow("all of 2 GiB") << qint64(2147483647) << qint64(2147483647) << QStringLiteral("100");
    QTest::newRow("more than announced") << qint64(2048) << qint64(1024) << QStringLiteral("200");
}

void TestFileDownloader::progressText()
{
    QFETCH(qint64, received);
    QFETCH(qint64, announced);
    QFETCH(QString, text);
    QCOMPARE(FileDownloader::progressText(received, announced), text);
}

QTEST_GUILESS_MAIN(TestFileDownloader)
#include "tst_filedownloader.moc"
