// The playlist file on its own: its exact bytes, reading its fields from whatever a file holds,
// and saving so that a failure never loses the previous playlist.

#include "engine/playlistfile.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kivaro;
using kivaro::test::fileContents;
using kivaro::test::writeFile;

namespace kivaro {
char *toString(const PlaylistEntry &entry)
{
    return QTest::toString(entry.title + QLatin1Char('|') + entry.query
                           + (entry.hasQuery ? QString() : QStringLiteral(" (no query)")));
}
} // namespace kivaro

namespace {

// A device that never ends, as a huge file or a device file would be. It counts what was taken.
class EndlessDevice : public QIODevice
{
public:
    explicit EndlessDevice(QByteArray pattern)
        : m_pattern(std::move(pattern))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 taken = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        for (qint64 i = 0; i < maxSize; ++i)
            data[i] = m_pattern.at((taken + i) % m_pattern.size());
        taken += maxSize;
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_pattern;
};

QByteArray junk(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 12345;
    for (char &byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 23);
    }
    return bytes;
}

QStringList tenFields(QStringList fields)
{
    while (fields.size() < PlaylistFile::FieldCount)
        fields.append(QString());
    return fields;
}

QList<PlaylistEntry> fullList()
{
    QList<PlaylistEntry> entries;
    for (int i = 1; i <= 10; ++i)
        entries.append({QStringLiteral("Title %1").arg(i), QStringLiteral("query %1").arg(i)});
    return entries;
}

} // namespace

class TestPlaylistFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encode_data()
    {
        QTest::addColumn<QList<PlaylistEntry>>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("written plainly")
            << QList<PlaylistEntry> { { QStringLiteral("A - B | C"), QString() } }
            << QByteArray("A - B | C|\r\n");
        // Written plainly, these would read back as two entries.
        QTest::newRow("comma: quoted")
            << QList<PlaylistEntry> { { QStringLiteral("Earth, Wind & Fire"), QStringLiteral("ewf") } }
            << QByteArray("\"Earth, Wind & Fire|ewf\"\r\n");
        QTest::newRow("line break in a query: quoted")
            << QList<PlaylistEntry> { { QStringLiteral("T"), QStringLiteral("a\r\nb") } }
            << QByteArray("\"T|a\r\nb\"\r\n");
        QTest::newRow("quote first: quoted, quotes doubled")
            << QList<PlaylistEntry> { { QStringLiteral("\"Weird\" Al"), QStringLiteral("q\"") } }
            << QByteArray("\"\"\"Weird\"\" Al|q\"\"\"\r\n");
        QTest::newRow("quote inside only: plain")
            << QList<PlaylistEntry> { { QStringLiteral("a \"b\""), QStringLiteral("q") } }
            << QByteArray("a \"b\"|q\r\n");
        QTest::newRow("beyond ASCII in UTF-8")
            << QList<PlaylistEntry>{
                   {QStringLiteral("\u00c9mile Sorel - Caf\u00e9"), QStringLiteral("caf\u00e9")}}
            << QByteArray("\xc3\x89mile Sorel - Caf\xc3\xa9|caf\xc3\xa9\r\n");
    }

    void encode()
    {
        QFETCH(QList<PlaylistEntry>, entries);
        QFETCH(QByteArray, bytes);
        QCOMPARE(PlaylistFile::encode(entries), bytes);
    }

    void fields_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        const QString a = QStringLiteral("A|1");
        const QString b = QStringLiteral("B|2");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("CR LF") << QByteArray("A|1\r\nB|2\r\n") << QStringList{a, b};
        QTest::newRow("CR only") << QByteArray("A|1\rB|2\r") << QStringList{a, b};
        QTest::newRow("LF only") << QByteArray("A|1\nB|2\n") << QStringList{a, b};
        QTest::newRow("missing final line end") << QByteArray("A|1\r\nB|2") << QStringList{a, b};
        QTest::newRow("LF CR is two line ends") << QByteArray("A|1\n\rB|2") << QStringList{a, QString(), b};
        QTest::newRow("blank line is an empty field")
            << QByteArray("A|1\r\n\r\nB|2") << QStringList{a, QString(), b};
        QTest::newRow("comma inside a title")
            << QByteArray("Earth, Wind & Fire - September|ewf\r\n")
            << QStringList{QStringLiteral("Earth"), QStringLiteral(" Wind & Fire - September|ewf")};
        QTest::newRow("quotes and blanks belong to the field")
            << QByteArray(" \"Weird\" Al | q \r\n") << QStringList{QStringLiteral(" \"Weird\" Al | q ")};
        // A field quoted as a whole is what lies between; any other quote is part of its field.
        QTest::newRow("quoted field") << QByteArray("\"A, B|\"\"q\"\"\"\r\nC|3")
                                      << QStringList { QStringLiteral("A, B|\"q\""), QStringLiteral("C|3") };
        QTest::newRow("quoted field across a line end")
            << QByteArray("\"T|a\r\nb\",C|3\n")
            << QStringList { QStringLiteral("T|a\r\nb"), QStringLiteral("C|3") };
        QTest::newRow("quoted field at the end")
            << QByteArray("\"A, B|q\"") << QStringList { QStringLiteral("A, B|q") };
        QTest::newRow("quote followed by more: as it stands")
            << QByteArray("\"Weird, Al\" Yankovic|q\r\n")
            << QStringList { QStringLiteral("\"Weird"), QStringLiteral(" Al\" Yankovic|q") };
        QTest::newRow("quote never closed: as it stands")
            << QByteArray("\"A, B|q\r\nC|3")
            << QStringList { QStringLiteral("\"A"), QStringLiteral(" B|q"), QStringLiteral("C|3") };
        QTest::newRow("empty quoted field")
            << QByteArray("\"\",x") << QStringList { QString(), QStringLiteral("x") };

        QByteArray twelve;
        QStringList firstTen;
        for (int i = 1; i <= 12; ++i) {
            twelve += "T" + QByteArray::number(i) + "|q\r\n";
            if (i <= 10)
                firstTen.append(QStringLiteral("T%1|q").arg(i));
        }
        QTest::newRow("more than ten lines") << twelve << firstTen;
        QTest::newRow("commas count towards ten")
            << QByteArray("a,b,c,d,e,f,g,h,i,j,k,l")
            << QString::fromLatin1("a,b,c,d,e,f,g,h,i,j").split(QLatin1Char(','));

        QTest::newRow("UTF-8")
            << QByteArray("Caf\xc3\xa9|caf\xc3\xa9") << QStringList{QStringLiteral("Caf\u00e9|caf\u00e9")};
        QTest::newRow("single-byte characters")
            << QByteArray("Caf\xe9|x\r\n") << QStringList{QStringLiteral("Caf\u00e9|x")};
        QTest::newRow("character cut by the file's end")
            << QByteArray("ab\xc3") << QStringList{QStringLiteral("ab\u00c3")};

        const QByteArray longTitle(PlaylistFile::MaxFieldBytes + 100, 'x');
        QTest::newRow("very long line is cut, the next line read")
            << longTitle + "\r\nB|2"
            << QStringList{QString(PlaylistFile::MaxFieldBytes, QLatin1Char('x')), b};
        const QByteArray almost(PlaylistFile::MaxFieldBytes - 1, 'x');
        QTest::newRow("cut inside a character leaves it out")
            << almost + "\xc3\xa9\xc3\xa9" << QStringList{QString::fromLatin1(almost)};
    }

    void fields()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("hist")), bytes));
        QCOMPARE(PlaylistFile(folder.path()).readFields(), tenFields(fields));
    }

    void splitField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<PlaylistEntry>("entry");
        QTest::newRow("title and query")
            << QStringLiteral("T|q") << PlaylistEntry{QStringLiteral("T"), QStringLiteral("q")};
        QTest::newRow("no bar: no query") << QStringLiteral("Only Title")
                                          << PlaylistEntry{QStringLiteral("Only Title"), QString(), false};
        QTest::newRow("further pieces ignored")
            << QStringLiteral("T|q|x|y") << PlaylistEntry{QStringLiteral("T"), QStringLiteral("q")};
        QTest::newRow("empty query") << QStringLiteral("T|") << PlaylistEntry{QStringLiteral("T"), QString()};
        QTest::newRow("empty title") << QStringLiteral("|q") << PlaylistEntry{QString(), QStringLiteral("q")};
    }

    void splitField()
    {
        QFETCH(QString, field);
        QFETCH(PlaylistEntry, entry);
        QCOMPARE(PlaylistFile::splitField(field), entry);
    }

    void endlessInputIsReadOnlyInPart_data()
    {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<qint64>("limit");
        QTest::newRow("one endless line") << QByteArray("x") << PlaylistFile::MaxReadBytes;
        QTest::newRow("binary junk") << junk(7919) << PlaylistFile::MaxReadBytes;
        // Ten short lines need no more than the start of the input.
        QTest::newRow("short lines") << QByteArray("T|q\r\n") << qint64(64 * 1024);
    }

    void endlessInputIsReadOnlyInPart()
    {
        QFETCH(QByteArray, pattern);
        QFETCH(qint64, limit);
        EndlessDevice device(pattern);
        const QStringList fields = PlaylistFile::readFields(device);
        QCOMPARE(fields.size(), PlaylistFile::FieldCount);
        for (const QString &field : fields)
            QVERIFY(field.size() <= PlaylistFile::MaxFieldBytes);
        QVERIFY2(device.taken <= limit, QByteArray::number(device.taken).constData());
    }

    void unreadablePlaylist_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no product folder") << QStringLiteral("none");
        QTest::newRow("no file") << QStringLiteral("missing");
        QTest::newRow("a folder named hist") << QStringLiteral("folder");
        QTest::newRow("a pipe named hist") << QStringLiteral("pipe");
    }

    void unreadablePlaylist()
    {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        const QString hist = folder.filePath(QStringLiteral("hist"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("hist")));
        if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(hist).constData(), 0600), 0);
        const PlaylistFile file(kind == QLatin1String("none") ? QString() : folder.path());
        QCOMPARE(file.readFields(), tenFields({}));
    }

    void saveWrites_data()
    {
        QTest::addColumn<QString>("productFolder");
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("replaces a longer file") << QString() << QByteArray(5000, 'o');
        QTest::newRow("creates a missing product folder") << QStringLiteral("share/kivaro") << QByteArray();
    }

    void saveWrites()
    {
        QFETCH(QString, productFolder);
        QFETCH(QByteArray, before);
        QTemporaryDir root;
        const QString folder = root.filePath(productFolder);
        const PlaylistFile file(folder);
        if (!before.isNull()) {
            QVERIFY(writeFile(file.path(), before));
            QVERIFY(QFile::setPermissions(file.path(), QFile::permissions(file.path()) | QFile::ReadOther));
        }
        const mode_t umaskBefore = ::umask(0);
        const bool saved = file.save(fullList());
        ::umask(umaskBefore);
        QVERIFY(saved);
        QCOMPARE(fileContents(file.path()), PlaylistFile::encode(fullList()));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("hist")});
        // Only the user may read it (0600), whatever the umask or the older file's mode; the
        // folders Kivaro made are 0700.
        constexpr QFile::Permissions ownerReadWrite
            = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QCOMPARE(QFile::permissions(file.path()), ownerReadWrite);
        if (!productFolder.isEmpty()) {
            for (const QString &made : { folder, root.filePath(QStringLiteral("share")) })
                QCOMPARE(QFile::permissions(made), ownerReadWrite | QFile::ExeOwner | QFile::ExeUser);
        }
    }

    void saveFailsWithoutHarm_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("product folder is a file") << QStringLiteral("file");
        QTest::newRow("read-only product folder") << QStringLiteral("readonly");
        QTest::newRow("no product folder") << QStringLiteral("none");
    }

    void saveFailsWithoutHarm()
    {
        QFETCH(QString, kind);
        QTemporaryDir root;
        const QString productFolder = root.filePath(QStringLiteral("kivaro"));
        QString folderForFile = productFolder;
        const QByteArray before("Old Title|old\r\n");
        if (kind == QLatin1String("file")) {
            QVERIFY(writeFile(productFolder, before));
        } else if (kind == QLatin1String("readonly")) {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders; the product-folder-is-a-file row covers refusal");
            QVERIFY(QDir().mkpath(productFolder));
            QVERIFY(writeFile(productFolder + QStringLiteral("/hist"), before));
            QVERIFY(QFile::setPermissions(productFolder, QFile::ReadOwner | QFile::ExeOwner));
        } else {
            folderForFile.clear();
        }

        QString error;
        QVERIFY(!PlaylistFile(folderForFile).save(fullList(), &error));
        QVERIFY(!error.isEmpty());
        if (kind == QLatin1String("file"))
            QCOMPARE(fileContents(productFolder), before);
        if (kind == QLatin1String("readonly")) {
            QCOMPARE(fileContents(productFolder + QStringLiteral("/hist")), before);
            QFile::setPermissions(productFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    void saveFailingPartWayKeepsTheOldPlaylist()
    {
        // The file size limit makes the write fail after the first bytes, for root as well: a disk
        // that fills up while the playlist is written.
        QTemporaryDir folder;
        const PlaylistFile file(folder.path());
        const QByteArray before("Old Title|old\r\n");
        QVERIFY(writeFile(file.path(), before));

        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 32;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool savedOk = file.save(fullList());
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!savedOk);
        QCOMPARE(fileContents(file.path()), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("hist")});
    }
};

QTEST_GUILESS_MAIN(TestPlaylistFile)
#include "tst_playlistfile.moc"
