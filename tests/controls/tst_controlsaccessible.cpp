// Both drawn controls as a screen reader meets them through Qt's accessibility: the button's role,
// name, access key, states and actions, and a press through the action interface doing what a click
// does; the progress bar's role and value.

#include "controls/progressbar/usercontrol1.h"
#include "controls/xpbutton/xpbutton.h"

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace kivaro;

namespace {

using Setup = std::function<void(XPButton &)>;

QStringList names(const char *spaced)
{
    return QString::fromLatin1(spaced).split(u' ', Qt::SkipEmptyParts);
}

// The states a row looks at, by name, for readable failures.
QStringList statesOf(const QAccessible::State &s)
{
    QStringList names;
    const std::pair<const char *, bool> all[]
        = { { "pressed", bool(s.pressed) }, { "checkable", bool(s.checkable) },
            { "checked", bool(s.checked) }, { "disabled", bool(s.disabled) },
            { "focused", bool(s.focused) }, { "default", bool(s.defaultButton) } };
    for (const auto &[name, on] : all)
        if (on)
            names << QLatin1String(name);
    return names;
}

// A form holding one button (and a twin to click with the mouse), shown off-screen.
struct Form
{
    Form()
        : widget(std::make_unique<QWidget>())
        , button(new XPButton(widget.get()))
        , twin(new XPButton(widget.get()))
    {
        widget->resize(240, 100);
        for (XPButton *b : { button, twin })
            b->setCaption(QStringLiteral("&Play"));
        button->setGeometry(10, 10, 80, 24);
        twin->setGeometry(100, 10, 80, 24);
    }
    std::unique_ptr<QWidget> widget;
    XPButton *button;
    XPButton *twin;
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestControlsAccessible : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form> form;

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<Form>();
        form->widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(form->widget.get()));
        // The window hands its focus to its first button; the rows want it elsewhere.
        form->twin->setFocus();
    }
    void cleanup() { form.reset(); }

    void button_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("accelerator");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QStringList>("actions");
        const QString press = QAccessibleActionInterface::pressAction();
        const QString toggle = QAccessibleActionInterface::toggleAction();
        const QString focus = QAccessibleActionInterface::setFocusAction();
        const int button = QAccessible::Button;
        const int checkBox = QAccessible::CheckBox;
        const auto caption = [](const char *text) {
            return Setup([text](XPButton &b) { b.setCaption(QLatin1String(text)); });
        };

        QTest::newRow("access key") << caption("Save &As") << button << "Save As"
                                    << "Alt+A" << QStringList() << QStringList { press, focus };
        QTest::newRow("&& is one &") << caption("A&&B") << button << "A&B"
                                     << "" << QStringList() << QStringList { press, focus };
        QTest::newRow("the key after &&") << caption("&&x&y") << button << "&xy"
                                          << "Alt+Y" << QStringList() << QStringList { press, focus };
        QTest::newRow("a lone & at the end") << caption("x&") << button << "x"
                                             << "" << QStringList() << QStringList { press, focus };
        QTest::newRow("the host's name wins")
            << Setup([](XPButton &b) { b.setAccessibleName(QStringLiteral("Play the song")); }) << button
            << "Play the song"
            << "Alt+P" << QStringList() << QStringList { press, focus };
        QTest::newRow("toggle, off") << Setup([](XPButton &b) { b.setCheckBoxBehaviour(true); }) << checkBox
                                     << "Play"
                                     << "Alt+P" << names("checkable") << QStringList { toggle, focus };
        QTest::newRow("toggle, on") << Setup([](XPButton &b) {
            b.setCheckBoxBehaviour(true);
            b.setValue(true);
        }) << checkBox << "Play"
                                    << "Alt+P" << names("checkable checked") << QStringList { toggle, focus };
        // A Value without toggle behaviour means nothing.
        QTest::newRow("value of a push button")
            << Setup([](XPButton &b) { b.setValue(true); }) << button << "Play"
            << "Alt+P" << QStringList() << QStringList { press, focus };
        QTest::newRow("disabled: nothing to do")
            << Setup([](XPButton &b) { b.setEnabled(false); }) << button << "Play"
            << "Alt+P" << names("disabled") << QStringList();
        QTest::newRow("the form's default")
            << Setup([](XPButton &b) { b.setDisplayAsDefault(true); }) << button << "Play"
            << "Alt+P" << names("default") << QStringList { press, focus };
        QTest::newRow("held down by the mouse")
            << Setup([](XPButton &b) { QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5)); }) << button
            << "Play"
            << "Alt+P" << names("pressed focused") << QStringList { press, focus };
        QTest::newRow("a right press is no press")
            << Setup([](XPButton &b) { QTest::mousePress(&b, Qt::RightButton, {}, QPoint(5, 5)); }) << button
            << "Play"
            << "Alt+P" << names("focused") << QStringList { press, focus };
        QTest::newRow("focused") << Setup([](XPButton &b) {
            QApplication::setActiveWindow(b.window());
            b.setFocus();
        }) << button << "Play"
                                 << "Alt+P" << names("focused") << QStringList { press, focus };
    }

    void button()
    {
        QFETCH(Setup, setup);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, accelerator);
        QFETCH(QStringList, states);
        QFETCH(QStringList, actions);
        setup(*form->button);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form->button);
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Accelerator), accelerator);
        QCOMPARE(statesOf(iface->state()), states);
        QVERIFY(iface->state().focusable);
        QVERIFY(iface->actionInterface());
        QCOMPARE(iface->actionInterface()->actionNames(), actions);
    }

    // The press action does what a left click does, to the same button: a toggle changes its
    // Value, then Click is raised; a disabled button does nothing. Unlike a click it moves no
    // mouse: no MouseDown or MouseUp.
    void pressDoesWhatAClickDoes_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("value");
        const QString press = QAccessibleActionInterface::pressAction();
        const QString toggle = QAccessibleActionInterface::toggleAction();
        QTest::newRow("push button") << Setup([](XPButton &) {}) << press << 1 << false;
        QTest::newRow("toggle, off") << Setup([](XPButton &b) { b.setCheckBoxBehaviour(true); }) << toggle
                                     << 1 << true;
        QTest::newRow("toggle, on") << Setup([](XPButton &b) {
            b.setCheckBoxBehaviour(true);
            b.setValue(true);
        }) << toggle << 1 << false;
        QTest::newRow("disabled") << Setup([](XPButton &b) { b.setEnabled(false); }) << press << 0 << false;
    }

    void pressDoesWhatAClickDoes()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, action);
        QFETCH(int, clicks);
        QFETCH(bool, value);
        for (XPButton *b : { form->button, form->twin })
            setup(*b);
        QSignalSpy pressed(form->button, &XPButton::Click);
        QSignalSpy mouseDown(form->button, &XPButton::MouseDown);
        QSignalSpy clicked(form->twin, &XPButton::Click);
        QTest::mouseClick(form->twin, Qt::LeftButton, {}, QPoint(5, 5));

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form->button);
        iface->actionInterface()->doAction(action);
        // The click comes from the event loop, as a real one does.
        QCOMPARE(pressed.size(), 0);
        QTRY_COMPARE(pressed.size(), clicks);
        QCOMPARE(clicked.size(), clicks);
        QCOMPARE(form->button->Value(), value);
        QCOMPARE(form->twin->Value(), value);
        QCOMPARE(mouseDown.size(), 0);
    }

    void progressBar_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the main window's counter") << 30 << 7 << 7 << "23 %";
        QTest::newRow("empty") << 100 << 0 << 0 << "0 %";
        QTest::newRow("beyond the end: full") << 100 << 150 << 100 << "100 %";
    }

    void progressBar()
    {
        QFETCH(int, max);
        QFETCH(int, value);
        QFETCH(int, current);
        QFETCH(QString, shown);
        UserControl1 bar(form->widget.get());
        bar.setAccessibleName(QStringLiteral("Bar1"));
        bar.setMax(max);
        bar.setValue(value);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&bar);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::ProgressBar);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Bar1"));
        QCOMPARE(iface->text(QAccessible::Value), shown);
        QAccessibleValueInterface *values = iface->valueInterface();
        QVERIFY(values);
        QCOMPARE(values->currentValue().toInt(), current);
        QCOMPARE(values->minimumValue().toInt(), 0);
        QCOMPARE(values->maximumValue().toInt(), max);
        // Nobody moves a progress bar but its owner.
        values->setCurrentValue(max / 2);
        QCOMPARE(bar.Value(), current);
    }
};

QTEST_MAIN(TestControlsAccessible)
#include "tst_controlsaccessible.moc"
