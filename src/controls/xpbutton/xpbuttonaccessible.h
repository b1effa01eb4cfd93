#pragma once

#include <QAccessibleWidget>

namespace kivaro {

class XPButton;

// What assistive technology (a screen reader) is told about an XPButton: a push button, or a check
// box with its state while the button is a toggle, named by its caption as it reads (without the
// "&" that marks the access key), with that access key, its pressed, disabled, focused and default
// states, and the press (or toggle) that does what a click does.
class XPButtonAccessible : public QAccessibleWidget
{
public:
    explicit XPButtonAccessible(XPButton *button);

    // The caption as it reads: "&" before the access key left out, "&&" one "&".
    static QString plainCaption(const QString &caption);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    XPButton *button() const;
};

// Qt's accessibility asks this for an interface to each object; it makes one for every XPButton.
QAccessibleInterface *xpButtonAccessibleFactory(const QString &className, QObject *object);

} // namespace kivaro
