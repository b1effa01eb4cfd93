// Both drawn controls as a screen reader meets them through Qt's accessibility: the button's role,
// name, access key, states and actions, its press doing what a click does; the bar's value.

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

QStringList statesOf(const QAccessible::State &s)
{
    QStringList on;
    const std::pair<const char *, bool> all[]
        = { { "pressed", s.pressed },   { "checkable", s.checkable }, { "checked", s.checked },
            { "disabled", s.disabled }, { "focused", s.focused },     { "default", s.defaultButton } };
    for (const auto &[name, set] : all)
        if (set)
            on << QLatin1String(name);
    return on;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestControlsAccessible : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> form;
    XPButton *pressed = nullptr; // the one the rows look at
    XPButton *twin = nullptr; // clicked with the mouse, to compare

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<QWidget>();
        form->resize(240, 100);
        pressed = new XPButton(form.get());
        twin = new XPButton(form.get());
        pressed->setGeometry(10, 10, 80, 24);
        twin->setGeometry(100, 10, 80, 24);
        for (XPButton *b : { pressed, twin })
            b->setCaption(QStringLiteral("&Play"));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        twin->setFocus(); // not on the button the rows look at
    }
    void cleanup() { form.reset(); }

    // The button's role, name, access key, states and actions, and what its press does.
    void button_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QStringList>("actions");
        const int push = QAccessible::Button;
        const int check = QAccessible::CheckBox;
        const auto caption = [](const char *text) {
            return Setup([text](XPButton &b) { b.setCaption(QLatin1String(text)); });
        };
        QTest::newRow("access key") << caption("Save &As") << push << "Save As"
                                    << "Alt+A" << QStringList() << names("Press SetFocus");
        QTest::newRow("&& is one &") << caption("A&&B") << push << "A&B"
                                     << "" << QStringList() << names("Press SetFocus");
        QTest::newRow("the key after &&") << caption("&&x&y") << push << "&xy"
                                          << "Alt+Y" << QStringList() << names("Press SetFocus");
        QTest::newRow("the host's name wins")
            << Setup([](XPButton &b) { b.setAccessibleName(QStringLiteral("Play it")); }) << push << "Play it"
            << "Alt+P" << QStringList() << names("Press SetFocus");
        QTest::newRow("toggle, on") << Setup([](XPButton &b) {
            b.setCheckBoxBehaviour(true);
            b.setValue(true);
        }) << check << "Play"
                                    << "Alt+P" << names("checkable checked") << names("Toggle SetFocus");
        QTest::newRow("disabled") << Setup([](XPButton &b) { b.setEnabled(false); }) << push << "Play"
                                  << "Alt+P" << names("disabled") << QStringList();
        QTest::newRow("default") << Setup([](XPButton &b) { b.setDisplayAsDefault(true); }) << push << "Play"
                                 << "Alt+P" << names("default") << names("Press SetFocus");
        QTest::newRow("held down") << Setup([](XPButton &b) {
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
        }) << push << "Play"
                                   << "Alt+P" << names("pressed focused") << names("Press SetFocus");
    }

    void button()
    {
        QFETCH(Setup, setup);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(QStringList, states);
        QFETCH(QStringList, actions);
        setup(*pressed);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(pressed);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Accelerator), key);
        QCOMPARE(statesOf(iface->state()), states);
        QAccessibleActionInterface *action = iface->actionInterface();
        QVERIFY(action);
        QCOMPARE(action->actionNames(), actions);
        if (states.contains(QLatin1String("pressed")))
            return; // held down: a press now would come between the mouse's press and release

        // Pressed through its first action (Press where a disabled one offers none), it does from
        // the event loop what a left click on a twin does: Click raised, a toggle's Value changed, no
        // mouse events; a disabled one does nothing.
        setup(*twin);
        const bool before = pressed->Value();
        QSignalSpy pressedClicks(pressed, &XPButton::Click);
        QSignalSpy mouseDown(pressed, &XPButton::MouseDown);
        QSignalSpy clicked(twin, &XPButton::Click);
        QTest::mouseClick(twin, Qt::LeftButton, {}, QPoint(5, 5));
        action->doAction(actions.value(0, QStringLiteral("Press")));
        QCOMPARE(pressedClicks.size(), 0);
        QCoreApplication::sendPostedEvents(pressed, QEvent::MetaCall);
        const int clicks = states.contains(QLatin1String("disabled")) ? 0 : 1;
        QCOMPARE(pressedClicks.size(), clicks);
        QCOMPARE(clicked.size(), clicks);
        QCOMPARE(pressed->Value(), role == QAccessible::CheckBox ? !before : before);
        QCOMPARE(twin->Value(), pressed->Value());
        QCOMPARE(mouseDown.size(), 0);
    }

    void progressBar_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the main window's counter") << 30 << 7 << 7 << "23 %";
        QTest::newRow("beyond the end") << 100 << 150 << 100 << "100 %";
    }
    void progressBar()
    {
        QFETCH(int, max);
        QFETCH(int, value);
        QFETCH(int, current);
        QFETCH(QString, shown);
        UserControl1 bar(form.get());
        bar.setMax(max);
        bar.setValue(value);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&bar);
        QCOMPARE(iface->role(), QAccessible::ProgressBar);
        QCOMPARE(iface->text(QAccessible::Value), shown);
        QCOMPARE(iface->valueInterface()->currentValue().toInt(), current);
        QCOMPARE(iface->valueInterface()->maximumValue().toInt(), max);
        iface->valueInterface()->setCurrentValue(max / 2); // nobody but its owner moves a bar
        QCOMPARE(bar.Value(), current);
    }
};

QTEST_MAIN(TestControlsAccessible)
#include "tst_controlsaccessible.moc"
