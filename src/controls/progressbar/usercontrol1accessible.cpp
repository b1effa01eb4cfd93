#include "controls/progressbar/usercontrol1accessible.h"

#include "controls/progressbar/progressbarstyle.h"
#include "controls/progressbar/usercontrol1.h"

#include <algorithm>

namespace kivaro {

UserControl1Accessible::UserControl1Accessible(UserControl1 *bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar)
{ }

UserControl1 *UserControl1Accessible::bar() const
{
    return static_cast<UserControl1 *>(widget());
}

QString UserControl1Accessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        // What the bar shows, also where it shows no text (and beyond 100 before its next paint).
        return QString::number(std::min(bar()->percentage(), progressbar::FullPercentage))
            + QStringLiteral(" %");
    }
    return QAccessibleWidget::text(t);
}

void *UserControl1Accessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QVariant UserControl1Accessible::currentValue() const
{
    return bar()->Value();
}

void UserControl1Accessible::setCurrentValue(const QVariant & /*value*/)
{ }

QVariant UserControl1Accessible::maximumValue() const
{
    return bar()->Max();
}

QVariant UserControl1Accessible::minimumValue() const
{
    return bar()->Min();
}

QVariant UserControl1Accessible::minimumStepSize() const
{
    return 0;
}

QAccessibleInterface *userControl1AccessibleFactory(const QString & /*className*/, QObject *object)
{
    if (auto *bar = qobject_cast<UserControl1 *>(object))
        return new UserControl1Accessible(bar);
    return nullptr;
}

} // namespace kivaro
