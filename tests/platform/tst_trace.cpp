// The --verbose lines: off until asked for, then "kivaro: " and the text on stderr, whatever the
// category; Qt's own messages keep their form.

#include "platform/trace.h"

#include <QFile>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

// Everything written to stderr while `write` runs.
template<typename Write> QByteArray stderrOf(Write write)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "<no capture>";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    write();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    QFile read(capture.fileName());
    return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray("<unreadable>");
}

Q_LOGGING_CATEGORY(lcQtLike, "qt.kivarotest")

} // namespace

class TestTrace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lines_data()
    {
        QTest::addColumn<bool>("verbose");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        // Rows run in order: the first one before --verbose switches the lines on.
        const QString plain = QStringLiteral("fetch a b");
        QTest::newRow("before --verbose: nothing")
            << false << QStringLiteral("engine") << plain << QByteArray();
        QTest::newRow("engine") << true << QStringLiteral("engine") << plain
                                << QByteArray("kivaro: fetch a b\n");
        QTest::newRow("startup") << true << QStringLiteral("startup") << plain
                                 << QByteArray("kivaro: fetch a b\n");
        QTest::newRow("player") << true << QStringLiteral("player") << plain
                                << QByteArray("kivaro: fetch a b\n");
        QTest::newRow("Qt's own warning keeps its category")
            << true << QStringLiteral("qt") << plain << QByteArray("qt.kivarotest: fetch a b\n");
        // An address or a title from a page: one line, and nothing for the terminal to obey.
        QTest::newRow("no control characters reach the terminal")
            << true << QStringLiteral("engine")
            << QStringLiteral("now playing: x\x1b]0;owned\x07\r\ny\u009b2J")
            << QByteArray("kivaro: now playing: x ]0;owned   y 2J\n");
    }

    void lines()
    {
        QFETCH(bool, verbose);
        QFETCH(QString, category);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        if (verbose)
            kivaro::showVerboseLines();
        QCOMPARE(kivaro::lcEngine().isInfoEnabled(), verbose);
        const QByteArray seen = stderrOf([&] {
            if (category == QLatin1String("engine"))
                qCInfo(kivaro::lcEngine).noquote() << text;
            else if (category == QLatin1String("startup"))
                qCInfo(kivaro::lcStartup).noquote() << text;
            else if (category == QLatin1String("player"))
                qCInfo(kivaro::lcPlayer).noquote() << text;
            else
                qCWarning(lcQtLike).noquote() << text;
        });
        QCOMPARE(seen, written);
    }
};

QTEST_GUILESS_MAIN(TestTrace)
#include "tst_trace.moc"
