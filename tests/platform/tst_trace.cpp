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
        QTest::addColumn<QByteArray>("written");
        // Rows run in order: the first one before --verbose switches the lines on.
        QTest::newRow("before --verbose: nothing") << false << QStringLiteral("engine") << QByteArray();
        QTest::newRow("engine") << true << QStringLiteral("engine") << QByteArray("kivaro: fetch a b\n");
        QTest::newRow("startup") << true << QStringLiteral("startup") << QByteArray("kivaro: fetch a b\n");
        QTest::newRow("player") << true << QStringLiteral("player") << QByteArray("kivaro: fetch a b\n");
        QTest::newRow("Qt's own warning keeps its category")
            << true << QStringLiteral("qt") << QByteArray("qt.kivarotest: fetch a b\n");
    }

    void lines()
    {
        QFETCH(bool, verbose);
        QFETCH(QString, category);
        QFETCH(QByteArray, written);
        if (verbose)
            kivaro::showVerboseLines();
        QCOMPARE(kivaro::lcEngine().isInfoEnabled(), verbose);
        const QString text = QStringLiteral("fetch a b");
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
