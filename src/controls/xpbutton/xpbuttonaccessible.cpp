#include "controls/xpbutton/xpbuttonaccessible.h"

#include "controls/xpbutton/xpbutton.h"

#include <QKeySequence>

namespace kivaro {

XPButtonAccessible::XPButtonAccessible(XPButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{ }

XPButton *XPButtonAccessible::button() const
{
    return static_cast<XPButton *>(widget());
}

QString XPButtonAccessible::plainCaption(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            // "&&" is one "&"; a lone "&" only marks the access key.
            if (i + 1 < caption.size() && caption.at(i + 1) == u'&')
                plain += caption.at(++i);
            continue;
        }
        plain += caption.at(i);
    }
    return plain;
}

QAccessible::Role XPButtonAccessible::role() const
{
    return button()->CheckBoxBehaviour() ? QAccessible::CheckBox : QAccessible::Button;
}

QString XPButtonAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        // A name the host gave wins over the caption, as for Qt's own buttons.
        return button()->accessibleName().isEmpty() ? plainCaption(button()->Caption())
                                                    : button()->accessibleName();
    case QAccessible::Accelerator:
        if (button()->AccessKey().isNull())
            return {};
        return QKeySequence(
                   QKeyCombination(Qt::AltModifier, Qt::Key(button()->AccessKey().toUpper().unicode())))
            .toString(QKeySequence::NativeText);
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State XPButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const XPButton *b = button();
    state.disabled = !b->Enabled();
    state.focusable = true;
    state.focused = b->hasFocus();
    state.hotTracked = b->isHovered();
    state.defaultButton = b->DisplayAsDefault();
    if (b->CheckBoxBehaviour()) {
        state.checkable = true;
        state.checked = b->Value();
    } else {
        state.pressed = b->lastPaintedState() == XPButton::StateDown;
    }
    return state;
}

QStringList XPButtonAccessible::actionNames() const
{
    QStringList names;
    if (button()->Enabled())
        names << (button()->CheckBoxBehaviour() ? toggleAction() : pressAction());
    return names + QAccessibleWidget::actionNames();
}

void XPButtonAccessible::doAction(const QString &actionName)
{
    if (actionName != pressAction() && actionName != toggleAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    // The click runs from the event loop, as a real one does: whatever the host does on Click (a
    // dialog, say) must not hold up the screen reader that asked for it.
    // Posted to the button: gone before it runs, the click is dropped.
    QMetaObject::invokeMethod(button(), &XPButton::click, Qt::QueuedConnection);
}

QStringList XPButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    if ((actionName == pressAction() || actionName == toggleAction()) && !button()->AccessKey().isNull())
        return { text(QAccessible::Accelerator) };
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

QAccessibleInterface *xpButtonAccessibleFactory(const QString & /*className*/, QObject *object)
{
    if (auto *button = qobject_cast<XPButton *>(object))
        return new XPButtonAccessible(button);
    return nullptr;
}

} // namespace kivaro
