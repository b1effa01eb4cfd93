#pragma once

#include <QAccessible>
#include <QObject>

#include <functional>

class QWidget;

namespace kivaro {

// What assistive technology (a screen reader) is told about a widget of a window that Qt cannot
// describe by itself (a picture that works as a button, a label that works as a link, the window
// itself) and what it may do with it: attached to the widget as its child.
class AccessibleElement : public QObject
{
    Q_OBJECT

public:
    // name is asked for whenever a screen reader reads it (a translated text, or one that changes,
    // as the title a link shows); press, where given, does what a click on the widget does.
    AccessibleElement(QWidget *widget, QAccessible::Role role, std::function<QString()> name,
                      std::function<void()> press = {});

    // The description attached to object, if any.
    static AccessibleElement *of(QObject *object);

    QAccessible::Role role() const { return m_role; }
    QString name() const { return m_name ? m_name() : QString(); }
    bool pressable() const { return bool(m_press); }
    // Presses it from the event loop, as a click comes: whatever the press opens (a menu) must
    // not hold up the screen reader that asked for it.
    void press();

private:
    QAccessible::Role m_role;
    std::function<QString()> m_name;
    std::function<void()> m_press;
};

} // namespace kivaro
