// The ticker and the progress frames, stepped by hand.

#include "controls/progressbar/usercontrol1.h"
#include "engine/protocol.h"
#include "form1rig.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace kivaro;
using namespace kivaro::test;

class TestForm1Timers : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Rig> rig;
    Form1 &form() { return rig->form(); }

    // The frame Image1 shows: 0 to 7, 8 for none, -1 for something else.
    int frame()
    {
        if (form().Image1->picture().isNull())
            return 8;
        for (int k = 0; k < 8; ++k) {
            if (form().Image1->shows(form().looks().P[k]))
                return k;
        }
        return -1;
    }

    void setTarget(const QString &value) { rig->engine().setWindowTitle(value); }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            form().Timer2_Timer();
    }

private Q_SLOTS:
    void init()
    {
        rig = std::make_unique<Form1Rig>();
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        form().setLooks(plainLooks());
        form().Timer2->stop();
        form().tmrStat->stop();
    }

    void cleanup() { rig.reset(); }

    void tickerText()
    {
        const QString text = form().lblStat->text();
        QVERIFY(text.startsWith(QString(66, QLatin1Char(' ')) + QStringLiteral("Welcome to kivaro!") + QString(28, QLatin1Char(' '))
                                + QStringLiteral("Why download illigaly, when you can stream it legally??")
                                + QString(25, QLatin1Char(' '))));
        QVERIFY(text.endsWith(QString(54, QLatin1Char(' '))));
        QCOMPARE(form().lblStat->caption(), text); // the first caption shows as the whole text
        // A screen reader reads the whole text, without its runs of spaces, whatever the step.
        form().tmrStat_Timer();
        QAccessibleInterface *ticker = QAccessible::queryAccessibleInterface(form().lblStat);
        QVERIFY(ticker && ticker->role() == QAccessible::StaticText);
        QCOMPARE(ticker->text(QAccessible::Name), text.simplified());
    }

    void tickerCount()
    {
        const QString text = form().lblStat->text();
        const auto m = text.size();
        QCOMPARE(form().tickerCount(), m - 1);

        form().tmrStat_Timer();
        QCOMPARE(form().lblStat->caption(), text.mid(1)); // without its first character
        QCOMPARE(form().tickerCount(), m - 2);
        for (auto n = m - 2; n >= 1; --n) {
            form().tmrStat_Timer();
            QCOMPARE(form().lblStat->caption(), text.right(n));
        }
        QCOMPARE(form().tickerCount(), 0);
        form().tmrStat_Timer();
        QCOMPARE(form().lblStat->caption(), text); // the whole text, first space included
        QCOMPARE(form().tickerCount(), m - 1);
    }

    // Many steps at once (the time a window spent minimised) end where as many single steps end.
    void tickerStepsAtOnce_data()
    {
        QTest::addColumn<int>("before"); // single steps first
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("count"); // the count after, M = 284 characters
        QTest::newRow("one") << 0 << 1 << 282;
        QTest::newRow("down to 0") << 0 << 283 << 0;
        QTest::newRow("from 0: the whole text") << 283 << 1 << 283;
        QTest::newRow("from 0, two") << 283 << 2 << 282;
        QTest::newRow("three times round and 7") << 10 << 3 * 284 + 7 << 266;
    }

    void tickerStepsAtOnce()
    {
        QFETCH(int, before);
        QFETCH(int, steps);
        QFETCH(int, count);
        for (int i = 0; i < before; ++i)
            form().tmrStat_Timer();
        form().tickerSteps(steps);
        QCOMPARE(form().tickerCount(), count);
        QCOMPARE(form().lblStat->caption(), form().lblStat->text().right(count + 1));
    }

    // Both timers run only while the window is on screen; back on screen, the ticker and the frames
    // show at once what the time away has brought.
    void timersFollowTheScreen_data()
    {
        QTest::addColumn<QString>("away"); // how the window leaves the screen
        QTest::addColumn<QString>("target"); // the engine's progress value while away, from 20
        QTest::addColumn<int>("counter"); // on return
        QTest::addColumn<int>("frame");
        QTest::newRow("minimised, a new search")
            << QStringLiteral("minimise") << QStringLiteral("0") << 0 << 8;
        QTest::newRow("hidden, the video found") << QStringLiteral("hide") << QStringLiteral("30") << 30 << 7;
    }

    void timersFollowTheScreen()
    {
        QFETCH(QString, away);
        QFETCH(QString, target);
        QFETCH(int, counter);
        QFETCH(int, frame);
        form().tmrStat->start();
        setTarget(protocol::ProgressVideoPage);
        form().Timer2->start();
        QTRY_VERIFY(!form().Timer2->isActive());
        QCOMPARE(form().Bar->Value(), 20);
        QElapsedTimer clock;
        clock.start();
        const auto countBefore = form().tickerCount();
        if (away == QLatin1String("minimise"))
            form().showMinimized();
        else
            form().hide();
        QTRY_VERIFY(!form().timedDisplaysRun());
        QVERIFY(!form().tmrStat->isActive());
        setTarget(target);
        QVERIFY(!form().Timer2->isActive()); // a new target wakes nothing
        QTest::qWait(450);
        QCOMPARE(form().Bar->Value(), 20);
        QCOMPARE(form().tickerCount(), countBefore);

        form().showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        const qint64 awayMs = clock.elapsed();
        QVERIFY(form().tmrStat->isActive());
        // One step per 100 ms away, give or take the one under way when the window left.
        const qint64 taken = (countBefore - form().tickerCount() + 284) % 284;
        QVERIFY2(taken >= awayMs / 100 - 1 && taken <= awayMs / 100 + 1,
                 qPrintable(QStringLiteral("%1 steps after %2 ms").arg(taken).arg(awayMs)));
        QCOMPARE(form().Bar->Value(), counter);
        QCOMPARE(this->frame(), frame);
    }

    // Each row steps the frames from a counter that has reached `start` (and, where given, a frame
    // put in place) towards `target`, and lists the counter and the frame after each step (8: the
    // empty area). Frame k shows from 3.75 x (k + 1): 4, 8, 12, 15, 19, 23, 27 and 30; a counter of
    // 1 to 3 leaves the area as it was. The timer runs through the steps that change something and
    // rests after the first that changes nothing, the last of each row. The search button keeps
    // its place and size whatever it shows, the empty area included.
    void progressSteps_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("shown"); // -1: the frame the start left
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("counters");
        QTest::addColumn<QString>("frames");
        QTest::newRow("rising 0 to 30")
            << QString() << -1 << QStringLiteral("30")
            << QStringLiteral(
                   "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 30")
            << QStringLiteral("8880000111122233334444555566677");
        QTest::newRow("the video's page: 0 to 20")
            << QString() << -1 << QStringLiteral("20")
            << QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 20")
            << QStringLiteral("888000011112223333444");
        QTest::newRow("found: 20 to 30")
            << QStringLiteral("20") << -1 << QStringLiteral("30")
            << QStringLiteral("21 22 23 24 25 26 27 28 29 30 30") << QStringLiteral("44555566677");
        // P(0) still shows at 2; the step that reaches 0 empties the area.
        QTest::newRow("a new search: 30 to 0") << QStringLiteral("30") << -1 << QStringLiteral("0")
                                               << QStringLiteral("28 26 24 22 20 18 16 14 12 10 8 6 4 2 0 0")
                                               << QStringLiteral("6554433221100088");
        // 1 keeps the frame; the step from 1 ends at 0 without touching it; the next empties it.
        QTest::newRow("3 to 0") << QStringLiteral("3") << 5 << QStringLiteral("0")
                                << QStringLiteral("1 0 0 0") << QStringLiteral("5588");
        // Not a number: one up and two down a step, the area untouched unless the step reaches 0.
        QTest::newRow("not a number, from 0")
            << QString() << 2 << QStringLiteral("Kivaro") << QStringLiteral("0") << QStringLiteral("2");
        QTest::newRow("not a number, from 5") << QStringLiteral("5") << -1 << QStringLiteral("Kivaro")
                                              << QStringLiteral("4 3 2 1 0 0") << QStringLiteral("000088");
    }

    void progressSteps()
    {
        QFETCH(QString, start);
        QFETCH(int, shown);
        QFETCH(QString, target);
        QFETCH(QString, counters);
        QFETCH(QString, frames);
        if (!start.isEmpty()) {
            setTarget(start);
            steps(40);
        }
        if (shown >= 0)
            form().Image1->setPicture(form().looks().P[shown]);
        setTarget(target);
        form().Timer2->start();
        QStringList stepCounters;
        QString stepFrames;
        int restedAfter = 0;
        for (qsizetype step = 1; step <= frames.size(); ++step) {
            steps(1);
            stepCounters << QString::number(form().Bar->Value());
            stepFrames += QString::number(frame());
            if (!restedAfter && !form().Timer2->isActive())
                restedAfter = int(step);
        }
        QCOMPARE(stepCounters.join(QLatin1Char(' ')), counters);
        QCOMPARE(stepFrames, frames);
        QCOMPARE(restedAfter, frames.size());
        QCOMPARE(form().Image1->geometry(), QRect(305, 16, 68, 70));
    }

    // A resting progress timer starts again at once when the target or the pictures change.
    void progressTimerWakes_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("newLooks");
        QTest::newRow("new target") << QStringLiteral("0") << false;
        QTest::newRow("a skin while playing") << QStringLiteral("30") << true;
    }

    void progressTimerWakes()
    {
        QFETCH(QString, target);
        QFETCH(bool, newLooks);
        setTarget(QStringLiteral("30"));
        steps(31);
        QVERIFY(!form().Timer2->isActive());
        setTarget(target);
        const StoredLooks skin = plainLooks();
        if (newLooks)
            form().setLooks(skin);
        QVERIFY(form().Timer2->isActive());
        if (newLooks) {
            steps(1);
            QVERIFY(form().Image1->shows(skin.P[7]));
            steps(1);
            QVERIFY(!form().Timer2->isActive());
        }
    }

    void progressTimerRunsWhileShown()
    {
        Form1Rig fresh;
        fresh.form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh.form()));
        QVERIFY(fresh.form().Timer2->isActive());
        fresh.engine().setWindowTitle(protocol::ProgressPlaying);
        QTRY_COMPARE(fresh.form().Bar->Value(), 30);
        // Settled, it rests; the next search's target sets it going again and the frames run down.
        QTRY_VERIFY(!fresh.form().Timer2->isActive());
        fresh.engine().setWindowTitle(QStringLiteral("0"));
        QVERIFY(fresh.form().Timer2->isActive());
        QTRY_COMPARE(fresh.form().Bar->Value(), 0);
        QTRY_VERIFY(!fresh.form().Timer2->isActive());
        QVERIFY(fresh.form().Image1->picture().isNull());
    }
};

QTEST_MAIN(TestForm1Timers)
#include "tst_form1_timers.moc"
