#pragma once

#include <QAccessibleWidget>

namespace kivaro {

class UserControl1;

// What assistive technology (a screen reader) is told about a UserControl1: a progress bar with its
// value between Min and Max, read as the percentage the bar shows ("37 %").
class UserControl1Accessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit UserControl1Accessible(UserControl1 *bar);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleValueInterface: the bar shows a value; nobody sets it through the bar.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    UserControl1 *bar() const;
};

// Qt's accessibility asks this for an interface to each object; it makes one for every UserControl1.
QAccessibleInterface *userControl1AccessibleFactory(const QString &className, QObject *object);

} // namespace kivaro
