#include "mainwindow/elementaccessible.h"

#include "mainwindow/accessibleelement.h"

#include <QWidget>

namespace kivaro {

ElementAccessible::ElementAccessible(QWidget *widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{ }

AccessibleElement *ElementAccessible::description() const
{
    // Looked up each time: it goes with its widget, which may be on its way out.
    return AccessibleElement::of(object());
}

QAccessible::Role ElementAccessible::role() const
{
    const AccessibleElement *element = description();
    return element ? element->role() : QAccessibleWidget::role();
}

QString ElementAccessible::text(QAccessible::Text t) const
{
    const AccessibleElement *element = description();
    if (t == QAccessible::Name && element)
        return element->name();
    return QAccessibleWidget::text(t);
}

QAccessible::State ElementAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (role() == QAccessible::ButtonMenu)
        state.hasPopup = true;
    return state;
}

QStringList ElementAccessible::actionNames() const
{
    QStringList names;
    const AccessibleElement *element = description();
    if (element && element->pressable() && widget()->isEnabled()) {
        names << pressAction();
        if (element->role() == QAccessible::ButtonMenu)
            names << showMenuAction();
    }
    return names + QAccessibleWidget::actionNames();
}

void ElementAccessible::doAction(const QString &actionName)
{
    AccessibleElement *element = description();
    const bool press = actionName == pressAction() || actionName == showMenuAction();
    if (element && press && actionNames().contains(actionName))
        element->press();
    else if (!press)
        QAccessibleWidget::doAction(actionName);
}

QAccessibleInterface *elementAccessibleFactory(const QString & /*className*/, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    const AccessibleElement *description = widget ? AccessibleElement::of(widget) : nullptr;
    return description ? new ElementAccessible(widget, description->role()) : nullptr;
}

} // namespace kivaro
