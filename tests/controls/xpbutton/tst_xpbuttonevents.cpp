#include "controls/xpbutton/xpbutton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace kivaro;

namespace {

// A shown form with three buttons in a row; the middle one is tested.
struct Form
{
    Form()
        : widget(std::make_unique<QWidget>())
    {
        widget->setGeometry(100, 100, 320, 100);
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new XPButton(widget.get());
            buttons[i]->setGeometry(10 + 100 * i, 10, 80, 24);
            buttons[i]->setObjectName(QStringLiteral("XPButton%1").arg(i + 1));
            buttons[i]->InitProperties();
        }
        button = buttons[1];
        button->setCaption(QStringLiteral("&Save"));
        widget->show();
        widget->activateWindow();
    }
    std::unique_ptr<QWidget> widget;
    XPButton *buttons[3] {};
    XPButton *button = nullptr;
};

enum class Press { LeftClick, Space, AltKey };

void press(Form &form, Press how)
{
    switch (how) {
    case Press::LeftClick:
        QTest::mouseClick(form.button, Qt::LeftButton, {}, QPoint(20, 10));
        break;
    case Press::Space:
        form.button->setFocus();
        QTest::keyClick(form.button, Qt::Key_Space);
        break;
    case Press::AltKey:
        form.buttons[0]->setFocus();
        QTest::keyClick(form.buttons[0], Qt::Key_S, Qt::AltModifier);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Press)

class TestXPButtonEvents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toggleInvertsValueBeforeClick_data();
    void toggleInvertsValueBeforeClick();
    void noClick_data();
    void noClick();
    void pressPaintsDownAndReleaseUp();
    void eventsCarryTheirArguments_data();
    void eventsCarryTheirArguments();
    void doubleClickPressesAgainAtTheOrigin();
    void arrowKeysMoveTheFocus_data();
    void arrowKeysMoveTheFocus();
    void focusIsTracked();
    void hoverRaisesMouseOverOnceAndMouseOutSoon();
    void dragInsideThenLeaveRaisesEachOnce();
    void movingOntoAChildWindowCountsAsLeaving();
};

void TestXPButtonEvents::toggleInvertsValueBeforeClick_data()
{
    QTest::addColumn<Press>("how");
    QTest::newRow("left click") << Press::LeftClick;
    QTest::newRow("Space") << Press::Space;
    QTest::newRow("Alt+access key") << Press::AltKey;
}

void TestXPButtonEvents::toggleInvertsValueBeforeClick()
{
    QFETCH(Press, how);
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(form.widget.get()));
    form.button->setCheckBoxBehaviour(true);
    QList<bool> valuesAtClick;
    connect(form.button, &XPButton::Click, form.button, [&] { valuesAtClick.append(form.button->Value()); });
    press(form, how);
    QCOMPARE(valuesAtClick, QList<bool> { true });
    // Checked, it looks pressed whatever state is asked for.
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateDown);
    press(form, how);
    QCOMPARE(valuesAtClick, (QList<bool> { true, false }));
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateUp);
}

void TestXPButtonEvents::noClick_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<int>("stateAfter"); // -1: nothing painted at all
    QTest::newRow("Space down, another key up") << 0 << int(XPButton::StateDown);
    QTest::newRow("Enter") << 1 << int(XPButton::StateUp);
    QTest::newRow("right button") << 2 << -1;
    QTest::newRow("Alt+key while disabled") << 3 << int(XPButton::StateUp);
    QTest::newRow("KeyDown handler clears the key code") << 4 << -1;
    QTest::newRow("released outside") << 5 << int(XPButton::StateUp);
    QTest::newRow("MouseDown handler makes it the right button") << 6 << -1;
}

void TestXPButtonEvents::noClick()
{
    QFETCH(int, what);
    QFETCH(int, stateAfter);
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(form.widget.get()));
    form.button->setFocus();
    QSignalSpy clicks(form.button, &XPButton::Click);
    const qint64 before = form.button->surface().cacheKey();
    switch (what) {
    case 0:
        QTest::keyPress(form.button, Qt::Key_Space);
        QTest::keyRelease(form.button, Qt::Key_A);
        break;
    case 1:
        QTest::keyClick(form.button, Qt::Key_Return);
        break;
    case 2:
        QTest::mouseClick(form.button, Qt::RightButton, {}, QPoint(20, 10));
        break;
    case 3:
        form.button->setEnabled(false);
        QTest::keyClick(form.buttons[0], Qt::Key_S, Qt::AltModifier);
        break;
    case 4:
        connect(form.button, &XPButton::KeyDown, form.button, [](qint16 &keyCode, qint16 &) { keyCode = 0; });
        QTest::keyClick(form.button, Qt::Key_Space);
        break;
    case 5:
        QTest::mousePress(form.button, Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mouseRelease(form.button, Qt::LeftButton, {}, QPoint(120, 10));
        break;
    case 6:
        connect(form.button, &XPButton::MouseDown, form.button,
                [](qint16 &button, qint16 &, float &, float &) { button = 2; });
        QTest::mouseClick(form.button, Qt::LeftButton, {}, QPoint(20, 10));
        break;
    }
    QCOMPARE(clicks.count(), 0);
    if (stateAfter < 0)
        QCOMPARE(form.button->surface().cacheKey(), before);
    else
        QCOMPARE(form.button->lastPaintedState(), stateAfter);
}

void TestXPButtonEvents::pressPaintsDownAndReleaseUp()
{
    Form form;
    QTest::mousePress(form.button, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateDown);
    QTest::mouseRelease(form.button, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateUp);
}

// Each gesture's events, in the order raised, with the desktop's codes: Button 1 left, Shift 1 Shift
// + 2 Ctrl + 4 Alt, KeyCode the virtual key, KeyAscii the character typed.
void TestXPButtonEvents::eventsCarryTheirArguments_data()
{
    QTest::addColumn<int>("gesture");
    QTest::addColumn<QString>("events");
    QTest::newRow("left click, Shift and Ctrl held")
        << 0 << QStringLiteral("MouseDown 1 3 21 13|MouseUp 1 3 21 13|Click");
    QTest::newRow("moved, Alt held") << 1 << QStringLiteral("MouseMove 0 4 21 13");
    QTest::newRow("the key a") << 2 << QStringLiteral("KeyDown 65 0|KeyPress 97|KeyUp 65 0");
    QTest::newRow("Space") << 3 << QStringLiteral("KeyDown 32 0|KeyPress 32|KeyUp 32 0|Click");
}

void TestXPButtonEvents::eventsCarryTheirArguments()
{
    QFETCH(int, gesture);
    QFETCH(QString, events);
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(form.widget.get()));
    form.button->setFocus();
    QStringList raised;
    const auto mouse = [&raised](const char *name) {
        return [&raised, name](qint16 &b, qint16 &s, float &x, float &y) {
            raised << QStringLiteral("%1 %2 %3 %4 %5").arg(QLatin1String(name)).arg(b).arg(s).arg(x).arg(y);
        };
    };
    const auto key = [&raised](const char *name) {
        return [&raised, name](qint16 &code, qint16 &s) {
            raised << QStringLiteral("%1 %2 %3").arg(QLatin1String(name)).arg(code).arg(s);
        };
    };
    connect(form.button, &XPButton::MouseDown, form.button, mouse("MouseDown"));
    connect(form.button, &XPButton::MouseMove, form.button, mouse("MouseMove"));
    connect(form.button, &XPButton::MouseUp, form.button, mouse("MouseUp"));
    connect(form.button, &XPButton::KeyDown, form.button, key("KeyDown"));
    connect(form.button, &XPButton::KeyUp, form.button, key("KeyUp"));
    connect(form.button, &XPButton::KeyPress, form.button,
            [&raised](qint16 &ascii) { raised << QStringLiteral("KeyPress %1").arg(ascii); });
    connect(form.button, &XPButton::Click, form.button, [&raised] { raised << QStringLiteral("Click"); });
    const QPoint at(21, 13);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(form.button->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::AltModifier);
    switch (gesture) {
    case 0:
        QTest::mouseClick(form.button, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, at);
        break;
    case 1:
        QApplication::sendEvent(form.button, &move);
        break;
    case 2:
        QTest::keyClick(form.button, 'a');
        break;
    case 3:
        QTest::keyClick(form.button, Qt::Key_Space);
        break;
    }
    QCOMPARE(raised.join(QLatin1Char('|')), events);
}

void TestXPButtonEvents::doubleClickPressesAgainAtTheOrigin()
{
    Form form;
    QList<QList<double>> downs;
    connect(form.button, &XPButton::MouseDown, form.button, [&](qint16 &b, qint16 &s, float &x, float &y) {
        downs.append({ double(b), double(s), double(x), double(y) });
    });
    QSignalSpy clicks(form.button, &XPButton::Click);
    // Qt's order for a double click: press, release, double click, release.
    QTest::mouseClick(form.button, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 12));
    QCOMPARE(clicks.count(), 1);
    QTest::mouseDClick(form.button, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 12));
    QCOMPARE(downs, (QList<QList<double>> { { 1, 1, 30, 12 }, { 1, 0, 0, 0 } }));
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateDown);
    QCOMPARE(QWidget::mouseGrabber(), form.button);
    QTest::mouseRelease(form.button, Qt::LeftButton, {}, QPoint(30, 12));
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateUp);
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    // The second click of a double click is no Click of its own.
    QCOMPARE(clicks.count(), 1);
}

void TestXPButtonEvents::arrowKeysMoveTheFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focused");
    QTest::newRow("Right") << int(Qt::Key_Right) << 2;
    QTest::newRow("Down") << int(Qt::Key_Down) << 2;
    QTest::newRow("Left") << int(Qt::Key_Left) << 0;
    QTest::newRow("Up") << int(Qt::Key_Up) << 0;
    QTest::newRow("Space stays") << int(Qt::Key_Space) << 1;
}

void TestXPButtonEvents::arrowKeysMoveTheFocus()
{
    QFETCH(int, key);
    QFETCH(int, focused);
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(form.widget.get()));
    form.button->setFocus();
    QTest::keyPress(form.button, Qt::Key(key));
    QTRY_COMPARE(QApplication::focusWidget(), form.buttons[focused]);
}

void TestXPButtonEvents::focusIsTracked()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(form.widget.get()));
    form.button->setShowFocusRect(true);
    form.button->setFocus();
    QTRY_VERIFY(form.button->hasFocus());
    const QImage focused = form.button->surface();
    form.buttons[0]->setFocus();
    QTRY_VERIFY(!form.button->hasFocus());
    // Look 2 as a plain button shows no focus rectangle; look 1 does.
    QCOMPARE(form.button->surface(), focused);
    form.button->setButtonType(1);
    const QImage unfocused = form.button->surface();
    form.button->setFocus();
    QTRY_VERIFY(form.button->surface() != unfocused);
}

void TestXPButtonEvents::hoverRaisesMouseOverOnceAndMouseOutSoon()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(form.widget.get()));
    QCursor::setPos(form.widget->mapToGlobal(QPoint(300, 80)));
    QSignalSpy overs(form.button, &XPButton::MouseOver);
    QSignalSpy outs(form.button, &XPButton::MouseOut);
    QVERIFY(!form.button->isOverTimerActive());

    QCursor::setPos(form.button->mapToGlobal(QPoint(20, 10)));
    QTRY_COMPARE(overs.count(), 1);
    QVERIFY(form.button->isHovered());
    QVERIFY(form.button->isOverTimerActive());
    QCursor::setPos(form.button->mapToGlobal(QPoint(30, 12)));
    QCursor::setPos(form.button->mapToGlobal(QPoint(40, 14)));
    QCOMPARE(overs.count(), 1);
    QCOMPARE(outs.count(), 0);

    QElapsedTimer left;
    left.start();
    QCursor::setPos(form.widget->mapToGlobal(QPoint(300, 80)));
    QTRY_COMPARE(outs.count(), 1);
    // Within about one 100 ms tick (a busy machine, sanitizers and all, may add some).
    QVERIFY2(left.elapsed() < 600, qPrintable(QString::number(left.elapsed())));
    QVERIFY(!form.button->isHovered());
    QVERIFY(!form.button->isOverTimerActive());
    QCOMPARE(overs.count(), 1);
}

// A move with the left button held draws the button pressed while over it and raised while off it;
// the hover flag keeps what it was, so the plain move after the release raises no second MouseOver.
void TestXPButtonEvents::dragInsideThenLeaveRaisesEachOnce()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(form.widget.get()));
    QCursor::setPos(form.widget->mapToGlobal(QPoint(300, 80)));
    QSignalSpy overs(form.button, &XPButton::MouseOver);
    QSignalSpy outs(form.button, &XPButton::MouseOut);
    QCursor::setPos(form.button->mapToGlobal(QPoint(20, 10)));
    QTRY_COMPARE(overs.count(), 1);

    QTest::mousePress(form.button, Qt::LeftButton, {}, QPoint(20, 10));
    const auto drag = [&form](QPoint to) {
        QCursor::setPos(form.button->mapToGlobal(to));
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(form.button->mapToGlobal(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.button, &move);
        return form.button->lastPaintedState();
    };
    const QPoint dragged(30, 12);
    QCOMPARE(drag(dragged), XPButton::StateDown);
    QCOMPARE(drag(QPoint(30, 40)), XPButton::StateUp);
    QCOMPARE(drag(dragged), XPButton::StateDown);
    QVERIFY(form.button->isHovered());
    QTest::mouseRelease(form.button, Qt::LeftButton, {}, dragged);
    QCursor::setPos(form.button->mapToGlobal(QPoint(40, 14)));
    QTest::qWait(2 * XPButton::OverInterval);
    QCOMPARE(overs.count(), 1);
    QCOMPARE(outs.count(), 0);

    QCursor::setPos(form.widget->mapToGlobal(QPoint(300, 80)));
    QTRY_COMPARE(outs.count(), 1);
    QCOMPARE(overs.count(), 1);
}

void TestXPButtonEvents::movingOntoAChildWindowCountsAsLeaving()
{
    Form form;
    auto *child = new QWidget(form.button);
    child->setGeometry(50, 0, 30, 24);
    child->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.widget.get()));
    QSignalSpy overs(form.button, &XPButton::MouseOver);
    QSignalSpy outs(form.button, &XPButton::MouseOut);
    QCursor::setPos(form.button->mapToGlobal(QPoint(20, 10)));
    QTRY_COMPARE(overs.count(), 1);
    QCursor::setPos(form.button->mapToGlobal(QPoint(60, 10)));
    QTRY_COMPARE(outs.count(), 1);
    QVERIFY(!form.button->IsMouseOver());
}

QTEST_MAIN(TestXPButtonEvents)
#include "tst_xpbuttonevents.moc"
