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

    void progressRising()
    {
        setTarget(protocol::ProgressPlaying);
        QCOMPARE(form().Bar->Value(), 0);
        const QList<int> firstFrames = {8, 8, 8, 0}; // counter 1 to 3 leave the area as it was
        for (int expected : firstFrames) {
            steps(1);
            QCOMPARE(frame(), expected);
        }
        steps(11);
        QCOMPARE(form().Bar->Value(), 15);
        QCOMPARE(frame(), 3);
        steps(15);
        QCOMPARE(form().Bar->Value(), 30);
        QCOMPARE(frame(), 7);
        steps(5);
        QCOMPARE(form().Bar->Value(), 30);
        QCOMPARE(frame(), 7);
    }

    void frameBounds()
    {
        // The counter reaches frame k at 4, 8, 12, 15, 19, 23, 27 and 30.
        setTarget(protocol::ProgressPlaying);
        const QList<int> bounds = {4, 8, 12, 15, 19, 23, 27, 30};
        int counter = 0;
        for (int k = 0; k < 8; ++k) {
            while (counter < bounds[k] - 1) {
                steps(1);
                ++counter;
            }
            QCOMPARE(frame(), k == 0 ? 8 : k - 1);
            steps(1);
            ++counter;
            QCOMPARE(frame(), k);
        }
    }

    void videoPageLoading()
    {
        setTarget(protocol::ProgressVideoPage);
        steps(40);
        QCOMPARE(form().Bar->Value(), 20);
        QCOMPARE(frame(), 4);
    }

    void fallingToEmpty()
    {
        setTarget(protocol::ProgressPlaying);
        steps(30);
        setTarget(protocol::ProgressSearchPage);
        QList<int> counters;
        for (int i = 0; i < 15; ++i) {
            steps(1);
            counters << form().Bar->Value();
            if (form().Bar->Value() == 2)
                QCOMPARE(frame(), 0); // frame 0 is still shown at 2
        }
        QCOMPARE(counters.constFirst(), 28);
        QCOMPARE(counters.constLast(), 0);
        QCOMPARE(frame(), 8);
    }

    void fallingFromThree()
    {
        setTarget(QStringLiteral("3"));
        steps(3);
        form().Image1->setPicture(form().looks().P[5]);
        setTarget(protocol::ProgressSearchPage);
        steps(1);
        QCOMPARE(form().Bar->Value(), 1);
        QCOMPARE(frame(), 5); // kept
        steps(1);
        QCOMPARE(form().Bar->Value(), 0);
        QCOMPARE(frame(), 5); // the step ends without touching the area
        steps(1);
        QCOMPARE(frame(), 8);
    }

    void targetNotANumber()
    {
        QCOMPARE(rig->engine().progressValue(), QStringLiteral("Kivaro"));
        form().Image1->setPicture(form().looks().P[2]);
        steps(3);
        QCOMPARE(form().Bar->Value(), 0);
        QCOMPARE(frame(), 2); // up one, back down, area untouched

        // A higher counter ends each step one lower; reaching 0 empties the area.
        setTarget(QStringLiteral("5"));
        steps(5);
        setTarget(QStringLiteral("Kivaro"));
        QList<int> counters;
        for (int i = 0; i < 5; ++i) {
            steps(1);
            counters << form().Bar->Value();
        }
        QCOMPARE(counters, QList<int>({4, 3, 2, 1, 0}));
        QCOMPARE(frame(), 8);
    }

    void skinnedFrameShownOnTheNextStep()
    {
        setTarget(protocol::ProgressPlaying);
        steps(30);
        StoredLooks skin = plainLooks();
        form().setLooks(skin);
        steps(1);
        QVERIFY(form().Image1->shows(skin.P[7]));
    }

    // The progress timer rests after the first step that changes neither the counter nor the frame.
    void progressTimerRests_data()
    {
        QTest::addColumn<QString>("start");    // the target the counter has reached before
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("moving");       // steps that change something
        QTest::newRow("no number, counter 0") << QString() << QStringLiteral("Kivaro") << 0;
        QTest::newRow("rising 0 to 30") << QString() << QStringLiteral("30") << 30;
        QTest::newRow("rising 0 to 20") << QString() << QStringLiteral("20") << 20;
        QTest::newRow("rising 20 to 30, frames 4 to 7") << QStringLiteral("20") << QStringLiteral("30") << 10;
        // 28, 26, ..., 2 and the step to 0 that empties the area.
        QTest::newRow("falling 30 to 0") << QStringLiteral("30") << QStringLiteral("0") << 15;
        // 1, then 0; the area never had a frame, so emptying it changes nothing.
        QTest::newRow("falling 3 to 0, no frame shown") << QStringLiteral("3") << QStringLiteral("0") << 2;
        // 4, 3, 2, 1, 0 with frame 0 emptied at the end.
        QTest::newRow("no number, counter 5") << QStringLiteral("5") << QStringLiteral("Kivaro") << 5;
    }

    void progressTimerRests()
    {
        QFETCH(QString, start);
        QFETCH(QString, target);
        QFETCH(int, moving);
        if (!start.isEmpty()) {
            setTarget(start);
            steps(40);
        }
        setTarget(target);
        form().Timer2->start();
        steps(moving);
        QVERIFY(form().Timer2->isActive());
        steps(1);
        QVERIFY(!form().Timer2->isActive());
    }

    // A resting progress timer starts again at once when the target or the pictures change.
    void progressTimerWakes_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("newLooks");
        QTest::addColumn<bool>("wakes");
        QTest::newRow("new target") << QStringLiteral("0") << false << true;
        QTest::newRow("the same target again") << QStringLiteral("30") << false << false;
        QTest::newRow("a skin while playing") << QStringLiteral("30") << true << true;
    }

    void progressTimerWakes()
    {
        QFETCH(QString, target);
        QFETCH(bool, newLooks);
        QFETCH(bool, wakes);
        setTarget(QStringLiteral("30"));
        steps(31);
        QVERIFY(!form().Timer2->isActive());
        setTarget(target);
        const StoredLooks skin = plainLooks();
        if (newLooks)
            form().setLooks(skin);
        QCOMPARE(form().Timer2->isActive(), wakes);
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
