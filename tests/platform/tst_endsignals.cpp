// The signals that ask a program to end arrive on the event loop, in order, one notification each;
// the handlers the program had before come back when it lets go of them.

#include "platform/endsignals.h"

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <csignal>

using namespace kivaro;

namespace {

// What a handler of the program's own saw last.
std::atomic<int> lastSeen { 0 };

void remember(int signal)
{
    lastSeen.store(signal);
}

QList<int> receivedOf(const QSignalSpy &spy)
{
    QList<int> numbers;
    for (const QList<QVariant> &arguments : spy)
        numbers.append(arguments.at(0).toInt());
    return numbers;
}

} // namespace

class TestEndSignals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void arriveOnTheEventLoop_data();
    void arriveOnTheEventLoop();
    void theFormerHandlersComeBack();
};

void TestEndSignals::arriveOnTheEventLoop_data()
{
    QTest::addColumn<QList<int>>("raised");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("Ctrl+C") << QList<int> { SIGINT } << QStringLiteral("SIGINT");
    QTest::newRow("kill") << QList<int> { SIGTERM } << QStringLiteral("SIGTERM");
    QTest::newRow("terminal closed") << QList<int> { SIGHUP } << QStringLiteral("SIGHUP");
    QTest::newRow("two before the loop runs, in order")
        << QList<int> { SIGTERM, SIGINT } << QStringLiteral("SIGTERM");
}

void TestEndSignals::arriveOnTheEventLoop()
{
    QFETCH(QList<int>, raised);
    QFETCH(QString, firstName);
    EndSignals endSignals;
    QVERIFY(endSignals.isActive());
    QSignalSpy spy(&endSignals, &EndSignals::received);
    for (const int signal : raised)
        QCOMPARE(std::raise(signal), 0);
    // Nothing runs inside the handler: the program hears of it from its event loop.
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(receivedOf(spy), raised);
    QCOMPARE(EndSignals::name(raised.constFirst()), firstName);
}

void TestEndSignals::theFormerHandlersComeBack()
{
    for (const int signal : EndSignals::Handled)
        std::signal(signal, remember);
    {
        // One instance at a time: a second one takes no signal.
        EndSignals endSignals;
        EndSignals second;
        QVERIFY(endSignals.isActive());
        QVERIFY(!second.isActive());
        QSignalSpy secondSpy(&second, &EndSignals::received);
        QSignalSpy spy(&endSignals, &EndSignals::received);
        std::raise(SIGTERM);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(secondSpy.count(), 0);
    }
    for (const int signal : EndSignals::Handled) {
        lastSeen.store(0);
        std::raise(signal);
        QCOMPARE(lastSeen.load(), signal);
    }
    {
        // Gone with its instance: the next one takes the signals again.
        EndSignals next;
        QVERIFY(next.isActive());
    }
    for (const int signal : EndSignals::Handled)
        std::signal(signal, SIG_DFL);
}

QTEST_MAIN(TestEndSignals)
#include "tst_endsignals.moc"
