#include "mainwindow/accessibleelement.h"

#include "mainwindow/elementaccessible.h"

#include <QWidget>

namespace kivaro {

namespace {

constexpr const char *DescriptionName = "kivaroAccessibleElement";

} // namespace

AccessibleElement::AccessibleElement(QWidget *widget, QAccessible::Role role, std::function<QString()> name,
                                     std::function<void()> press)
    : QObject(widget)
    , m_role(role)
    , m_name(std::move(name))
    , m_press(std::move(press))
{
    setObjectName(QLatin1String(DescriptionName));
    QAccessible::installFactory(elementAccessibleFactory);
}

AccessibleElement *AccessibleElement::of(QObject *object)
{
    return object
        ? object->findChild<AccessibleElement *>(QLatin1String(DescriptionName), Qt::FindDirectChildrenOnly)
        : nullptr;
}

void AccessibleElement::press()
{
    if (!m_press)
        return;
    // Posted to this description: gone with its widget, the press is dropped.
    QMetaObject::invokeMethod(
        this, [press = m_press] { press(); }, Qt::QueuedConnection);
}

} // namespace kivaro
