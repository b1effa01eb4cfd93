#pragma once

#include <QAccessibleWidget>

namespace kivaro {

class AccessibleElement;

// The interface Qt's accessibility hands to screen readers for a widget with an AccessibleElement:
// its role and name, and, where it can be pressed, the press action (for a menu button also
// "show menu", which does the same).
class ElementAccessible : public QAccessibleWidget
{
public:
    ElementAccessible(QWidget *widget, QAccessible::Role role);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    AccessibleElement *description() const;
};

// Qt's accessibility asks this for an interface to each object; it makes one for every widget with
// an AccessibleElement.
QAccessibleInterface *elementAccessibleFactory(const QString &className, QObject *object);

} // namespace kivaro
