#include "controls/xpbutton/xpbutton.h"

#include "controls/xpbutton/xpbuttonaccessible.h"
#include "platform/canvas.h"
#include "platform/devicepicture.h"
#include "platform/propertybag.h"
#include "platform/rounding.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace kivaro {

namespace {

constexpr QLatin1String VersionText("2.0.6");
constexpr QPoint HandHotSpot(5, 0);
constexpr ColorRef DefaultMaskColor = rgb(192, 192, 192);
constexpr int DefaultButtonType = 2;
constexpr int DefaultColorScheme = 1;
constexpr int TypeEtched = 5;
constexpr int TypeTransparent = 11;

// The saved keys.
const QString KeyButtonType = QStringLiteral("BTYPE");
const QString KeyCaption = QStringLiteral("TX");
const QString KeyEnabled = QStringLiteral("ENAB");
const QString KeyFont = QStringLiteral("FONT");
const QString KeyColorScheme = QStringLiteral("COLTYPE");
const QString KeyShowFocusRect = QStringLiteral("FOCUSR");
const QString KeyBackColor = QStringLiteral("BCOL");
const QString KeyBackOver = QStringLiteral("BCOLO");
const QString KeyForeColor = QStringLiteral("FCOL");
const QString KeyForeOver = QStringLiteral("FCOLO");
const QString KeyMaskColor = QStringLiteral("MCOL");
const QString KeyMousePointer = QStringLiteral("MPTR");
const QString KeyMouseIcon = QStringLiteral("MICON");
const QString KeyPictureNormal = QStringLiteral("PICN");
const QString KeyPictureOverSaved = QStringLiteral("PICH");
const QString KeyUseMaskColor = QStringLiteral("UMCOL");
const QString KeySoftBevel = QStringLiteral("SOFT");
const QString KeyPicturePosition = QStringLiteral("PICPOS");
const QString KeyUseGreyscale = QStringLiteral("NGREY");
const QString KeySpecialEffect = QStringLiteral("FX");
const QString KeyHandPointer = QStringLiteral("HAND");
const QString KeyCheckBoxBehaviour = QStringLiteral("CHECK");
const QString KeyValue = QStringLiteral("VALUE");

// The desktop's mouse button and shift codes.
constexpr qint16 ButtonLeft = 1;
constexpr qint16 ButtonRight = 2;
constexpr qint16 ButtonMiddle = 4;
constexpr qint16 ShiftKey = 1;
constexpr qint16 CtrlKey = 2;
constexpr qint16 AltKey = 4;
// The desktop's virtual key codes the button reacts to.
constexpr qint16 VkSpace = 32;
constexpr qint16 VkLeft = 37;
constexpr qint16 VkUp = 38;
constexpr qint16 VkRight = 39;
constexpr qint16 VkDown = 40;

qint16 buttonCode(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    if (buttons & Qt::LeftButton)
        code |= ButtonLeft;
    if (buttons & Qt::RightButton)
        code |= ButtonRight;
    if (buttons & Qt::MiddleButton)
        code |= ButtonMiddle;
    return code;
}

qint16 shiftCode(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= ShiftKey;
    if (modifiers & Qt::ControlModifier)
        code |= CtrlKey;
    if (modifiers & Qt::AltModifier)
        code |= AltKey;
    return code;
}

// Qt's key as the desktop's virtual key code; 0 for keys without one here.
qint16 virtualKey(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<qint16>(key); // the codes agree with the characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<qint16>(112 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Space:
        return VkSpace;
    case Qt::Key_Left:
        return VkLeft;
    case Qt::Key_Up:
        return VkUp;
    case Qt::Key_Right:
        return VkRight;
    case Qt::Key_Down:
        return VkDown;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

// The desktop's pointer codes as Qt's shapes (99, the custom pointer, is handled apart).
Qt::CursorShape cursorShape(qint16 pointer)
{
    switch (pointer) {
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
    case 15:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// Tells assistive technology that the states mark sets have changed.
template<typename Mark> void accessibleStateChanged(QObject *button, Mark mark)
{
    QAccessible::State changed;
    mark(changed);
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

XPButtonPicture pictureOf(const QImage &image)
{
    return { image, image.hasAlphaChannel() };
}

QImage imageOf(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QImage>() ? value.value<QImage>() : QImage();
}

} // namespace

XPButton::XPButton(QWidget *parent)
    : QWidget(parent)
{
    // Screen readers learn of the button through its own description (installed once), which must
    // be there before the button's first change: Qt describes a widget then and keeps it.
    QAccessible::installFactory(xpButtonAccessibleFactory);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_look.Font = font();
    m_overTimer.setInterval(OverInterval);
    connect(&m_overTimer, &QTimer::timeout, this, &XPButton::overTimerTick);
    SetColors();
}

XPButton::~XPButton()
{
    m_paintingAllowed = false;
}

FormSchema XPButton::formSchema()
{
    return {
        { KeyButtonType, FormValue::Integer },
        { KeyCaption, FormValue::Text },
        { KeyEnabled, FormValue::Boolean },
        { KeyFont, FormValue::Font },
        { KeyColorScheme, FormValue::Integer },
        { KeyShowFocusRect, FormValue::Boolean },
        { KeyBackColor, FormValue::Colour },
        { KeyBackOver, FormValue::Colour },
        { KeyForeColor, FormValue::Colour },
        { KeyForeOver, FormValue::Colour },
        { KeyMaskColor, FormValue::Colour },
        { KeyMousePointer, FormValue::Integer },
        { KeyMouseIcon, FormValue::Picture },
        { KeyPictureNormal, FormValue::Picture },
        { KeyPictureOverSaved, FormValue::Picture },
        { KeyUseMaskColor, FormValue::Boolean },
        { KeySoftBevel, FormValue::Boolean },
        { KeyPicturePosition, FormValue::Integer },
        { KeyUseGreyscale, FormValue::Boolean },
        { KeySpecialEffect, FormValue::Integer },
        { KeyHandPointer, FormValue::Boolean },
        { KeyCheckBoxBehaviour, FormValue::Boolean },
        { KeyValue, FormValue::Boolean },
    };
}

void XPButton::notify(const char *key)
{
    Q_EMIT propertyChanged(QLatin1String(key));
}

// --- Properties ---------------------------------------------------------------------------------

void XPButton::setBackColor(ColorRef colour)
{
    m_look.BackColor = colour;
    if (!m_userMode)
        m_look.BackOver = colour;
    SetColors();
    repaintLast();
    notify("BCOL");
}

void XPButton::setBackOver(ColorRef colour)
{
    m_look.BackOver = colour;
    SetColors();
    repaintLast();
    notify("BCOLO");
}

void XPButton::setForeColor(ColorRef colour)
{
    m_look.ForeColor = colour;
    if (!m_userMode)
        m_look.ForeOver = colour;
    SetColors();
    repaintLast();
    notify("FCOL");
}

void XPButton::setForeOver(ColorRef colour)
{
    m_look.ForeOver = colour;
    SetColors();
    repaintLast();
    notify("FCOLO");
}

void XPButton::setMaskColor(ColorRef colour)
{
    m_look.MaskColor = colour;
    SetColors();
    repaintLast();
    notify("MCOL");
}

void XPButton::setButtonType(int type)
{
    m_look.ButtonType = type;
    if (type == TypeEtched && !m_userMode)
        setFontBold(true);
    else if (type == TypeTransparent && m_paintingAllowed)
        CaptureBackground();
    resizeProcedure();
    notify("BTYPE");
}

void XPButton::setCaption(const QString &caption)
{
    m_look.Caption = caption;
    UpdateAccessKey();
    LayoutCaption();
    Paint(StateUp, true);
    if (accessibleName().isEmpty()) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    notify("TX");
}

void XPButton::setEnabled(bool enabled)
{
    m_look.Enabled = enabled;
    Paint(StateUp, true);
    QWidget::setEnabled(enabled);
    notify("ENAB");
}

void XPButton::setFont(const QFont &font)
{
    m_look.Font = font;
    QWidget::setFont(font);
    LayoutCaption();
    Paint(StateUp, true);
    notify("FONT");
}

void XPButton::setFontBold(bool bold)
{
    m_look.Font.setBold(bold);
    QWidget::setFont(m_look.Font);
    LayoutCaption();
    Paint(StateUp, true);
}

void XPButton::setFontItalic(bool italic)
{
    m_look.Font.setItalic(italic);
    QWidget::setFont(m_look.Font);
    LayoutCaption();
    Paint(StateUp, true);
}

void XPButton::setFontUnderline(bool underline)
{
    m_look.Font.setUnderline(underline);
    QWidget::setFont(m_look.Font);
    LayoutCaption();
    Paint(StateUp, true);
}

qint16 XPButton::FontSize() const
{
    return static_cast<qint16>(roundToInt(m_look.Font.pointSizeF()));
}

void XPButton::setFontSize(qint16 size)
{
    // A font has no size of 0 points or less; such a value leaves the size as it was.
    if (size > 0)
        m_look.Font.setPointSize(size);
    QWidget::setFont(m_look.Font);
    LayoutCaption();
    Paint(StateUp, true);
}

void XPButton::setFontName(const QString &name)
{
    m_look.Font.setFamily(name);
    QWidget::setFont(m_look.Font);
    LayoutCaption();
    Paint(StateUp, true);
}

void XPButton::setColorScheme(int scheme)
{
    m_look.ColorScheme = scheme;
    SetColors();
    Paint(StateUp, true);
    notify("COLTYPE");
}

void XPButton::setShowFocusRect(bool show)
{
    m_look.ShowFocusRect = show;
    repaintLast();
    notify("FOCUSR");
}

void XPButton::setMousePointer(int pointer)
{
    m_mousePointer = static_cast<qint16>(pointer);
    applyPointer();
    notify("MPTR");
}

void XPButton::setMouseIcon(const QImage &icon)
{
    m_mouseIcon = icon;
    m_mouseIconHotSpot = QPoint(-1, -1); // Qt's default: the picture's centre
    applyPointer();
    notify("MICON");
}

void XPButton::useHandPicture()
{
    // The host builds the picture in (kivaroassets); without it, Qt's own hand stands in.
    m_mouseIcon = QFile::exists(HandCursorResource) ? QImage(HandCursorResource) : QImage();
    m_mouseIconHotSpot = HandHotSpot;
}

void XPButton::setHandPointer(bool hand)
{
    m_handPointer = hand;
    if (hand) {
        useHandPicture();
        m_mousePointer = PointerCustom;
    } else {
        m_mouseIcon = QImage();
        m_mousePointer = PointerArrow;
    }
    applyPointer();
    notify("HAND");
}

void XPButton::applyPointer()
{
    if (m_mousePointer == 0) {
        unsetCursor();
    } else if (m_mousePointer != PointerCustom) {
        setCursor(cursorShape(m_mousePointer));
    } else if (!m_mouseIcon.isNull()) {
        setCursor(QCursor(QPixmap::fromImage(m_mouseIcon), m_mouseIconHotSpot.x(), m_mouseIconHotSpot.y()));
    } else {
        setCursor(m_handPointer ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
}

void XPButton::setSoftBevel(bool soft)
{
    m_look.SoftBevel = soft;
    SetColors();
    repaintLast();
    notify("SOFT");
}

void XPButton::setPictureNormal(const QImage &picture)
{
    m_look.PictureNormal = pictureOf(picture);
    MeasurePicture();
    LayoutCaption();
    repaintLast();
    notify("PICN");
}

void XPButton::setPictureOver(const QImage &picture)
{
    m_look.PictureOver = pictureOf(picture);
    if (m_look.hovered)
        repaintLast();
    notify("PICO");
}

void XPButton::setPicturePosition(int position)
{
    m_look.PicturePosition = position;
    notify("PICPOS");
    LayoutCaption();
    repaintLast();
}

void XPButton::setUseMaskColor(bool use)
{
    m_look.UseMaskColor = use;
    if (!m_look.PictureNormal.isNull())
        repaintLast();
    notify("UMCOL");
}

void XPButton::setUseGreyscale(bool use)
{
    m_look.UseGreyscale = use;
    if (!m_look.PictureNormal.isNull())
        repaintLast();
    notify("NGREY");
}

void XPButton::setSpecialEffect(int effect)
{
    m_look.SpecialEffect = effect;
    repaintLast();
    notify("FX");
}

void XPButton::setCheckBoxBehaviour(bool toggle)
{
    if (toggle != m_look.CheckBoxBehaviour)
        accessibleStateChanged(
            this, [](QAccessible::State &changed) { changed.checkable = changed.checked = true; });
    m_look.CheckBoxBehaviour = toggle;
    repaintLast();
    notify("CHECK");
}

void XPButton::setValue(bool value)
{
    if (m_look.CheckBoxBehaviour && value != m_look.Value)
        accessibleStateChanged(this, [](QAccessible::State &changed) { changed.checked = true; });
    m_look.Value = value;
    if (m_look.CheckBoxBehaviour)
        Paint(StateUp, true);
    notify("VALUE");
}

QString XPButton::Version() const
{
    return VersionText;
}

void XPButton::setUserMode(bool runMode)
{
    m_userMode = runMode;
    ambientChanged();
}

void XPButton::setDisplayAsDefault(bool isDefault)
{
    if (isDefault != m_look.isDefault)
        accessibleStateChanged(this, [](QAccessible::State &changed) { changed.defaultButton = true; });
    m_look.isDefault = isDefault;
    ambientChanged();
}

void XPButton::ambientChanged()
{
    if (m_look.ColorScheme == 2)
        return;
    SetColors();
    repaintLast();
}

// --- Methods ------------------------------------------------------------------------------------

void XPButton::DisableRefresh()
{
    m_paintingAllowed = false;
}

void XPButton::Refresh()
{
    if (m_look.ButtonType == TypeTransparent)
        CaptureBackground();
    SetColors();
    LayoutCaption();
    m_paintingAllowed = true;
    repaintLast();
}

void XPButton::SetColors()
{
    // ColorScheme 4 takes the colours the parent draws its background and text in.
    const QPalette parentPalette = parentWidget() ? parentWidget()->palette() : palette();
    m_look.parentBackColor = fromQRgb(parentPalette.color(QPalette::Window).rgb());
    m_look.parentForeColor = fromQRgb(parentPalette.color(QPalette::WindowText).rgb());
    m_palette = kivaro::SetColors(m_look);
}

void XPButton::MeasurePicture()
{
    const QSize size = kivaro::MeasurePicture(m_look.PictureNormal);
    m_layout.picW = size.width();
    m_layout.picH = size.height();
}

void XPButton::LayoutCaption()
{
    kivaro::LayoutCaption(m_look, width(), height(), m_layout);
}

void XPButton::UpdateAccessKey()
{
    m_accessKey = QChar();
    delete m_accessShortcut;
    const QString &caption = m_look.Caption;
    if (caption.size() <= 1)
        return;
    const qsizetype p = caption.indexOf(u'&');
    if (p < 0 || p == caption.size() - 1)
        return;
    if (caption.at(p + 1) != u'&') {
        m_accessKey = caption.at(p + 1).toLower();
    } else {
        // "&&" is a literal ampersand: one more search, from the character after it.
        const qsizetype next = caption.indexOf(u'&', p + 2);
        if (next < 0 || next == caption.size() - 1 || caption.at(next + 1) == u'&')
            return;
        m_accessKey = caption.at(next + 1).toLower();
    }
    const int key = static_cast<int>(m_accessKey.toUpper().unicode());
    m_accessShortcut = new QShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key))), this);
    connect(m_accessShortcut, &QShortcut::activated, this, &XPButton::accessKeyPressed);
}

void XPButton::CaptureBackground()
{
    // The button shrinks to height 0 so it no longer covers its parent, and the parent's pixels at
    // the button's place are rendered into the background picture with QWidget::grab, which draws
    // the parent and its other children there as they look now. Then the height comes back.
    //
    // No pending events run here: grab draws the parent itself, so there is nothing to wait for,
    // and this runs inside a show, where Qt walks the widgets being shown; a deletion or a click
    // handled meanwhile would pull them from under it.
    m_resizeSuspended = true;
    const int w = width();
    const int h = height();
    QWidget *parent = parentWidget();
    if (parent && w > 0 && h > 0) {
        resize(w, 0);
        QImage background(w, h, QImage::Format_RGB32);
        if (!background.isNull()) {
            background.fill(parent->palette().color(QPalette::Window));
            const QImage grabbed = parent->grab(QRect(pos(), QSize(w, h))).toImage();
            QPainter painter(&background);
            painter.drawImage(QPoint(0, 0), grabbed);
            m_look.background = background;
        }
        resize(w, h);
    }
    m_resizeSuspended = false;
}

void XPButton::resizeProcedure()
{
    if (m_resizeSuspended)
        return;
    const int w = width();
    const int h = height();
    m_layout.focusRect = xpButtonFocusRect(m_look.ButtonType, w, h);
    LayoutCaption();
    setMask(BuildRegion(m_look.ButtonType, w, h));
    if (h != 0)
        Paint(StateUp, true);
}

void XPButton::Paint(int state, bool force)
{
    if (m_look.CheckBoxBehaviour && m_look.Value)
        state = StateDown;
    if (!force && m_look.Caption == m_lastCaption && state == m_lastState)
        return;
    if (height() == 0 || !m_paintingAllowed)
        return;
    if ((state == StateDown) != (m_lastState == StateDown))
        accessibleStateChanged(this, [](QAccessible::State &changed) { changed.pressed = true; });
    m_lastState = state;
    m_lastCaption = m_look.Caption;
    if (m_surface.size() != size())
        m_surface = QImage(size(), QImage::Format_RGB32);
    if (m_surface.isNull())
        return;
    Canvas canvas(m_surface);
    paintXPButton(canvas, m_look, m_palette, m_layout, state);
    update();
}

void XPButton::paintAs(int state, bool hovered, bool focused)
{
    const bool wasHovered = m_look.hovered;
    const bool hadFocus = m_look.hasFocus;
    m_look.hovered = hovered;
    m_look.hasFocus = focused;
    Paint(state, true);
    m_look.hovered = wasHovered;
    m_look.hasFocus = hadFocus;
}

bool XPButton::IsMouseOver() const
{
    return QApplication::widgetAt(QCursor::pos()) == this;
}

// --- Persistence --------------------------------------------------------------------------------

void XPButton::ReadProperties(const PropertyBag &bag)
{
    m_look.ButtonType = bag.readInt(KeyButtonType, DefaultButtonType);
    m_look.Caption = bag.read(KeyCaption, QString()).toString();
    m_look.Enabled = bag.readBool(KeyEnabled, true);
    const QVariant storedFont = bag.read(KeyFont);
    if (storedFont.metaType() == QMetaType::fromType<QFont>()) {
        m_look.Font = storedFont.value<QFont>();
        QWidget::setFont(m_look.Font);
    }
    m_look.ColorScheme = bag.readInt(KeyColorScheme, DefaultColorScheme);
    m_look.ShowFocusRect = bag.readBool(KeyShowFocusRect, true);
    m_look.BackColor = bag.readColor(KeyBackColor, TranslateColor(SystemColorFlag | ButtonFace));
    m_look.BackOver = bag.readColor(KeyBackOver, m_look.BackColor);
    m_look.ForeColor = bag.readColor(KeyForeColor, TranslateColor(SystemColorFlag | ButtonText));
    m_look.ForeOver = bag.readColor(KeyForeOver, m_look.ForeColor);
    m_look.MaskColor = bag.readColor(KeyMaskColor, DefaultMaskColor);
    m_mousePointer = static_cast<qint16>(bag.readInt(KeyMousePointer, 0));
    m_mouseIcon = imageOf(bag.read(KeyMouseIcon));
    m_mouseIconHotSpot = QPoint(-1, -1);
    applyPointer();
    m_look.PictureNormal = pictureOf(imageOf(bag.read(KeyPictureNormal)));
    m_look.PictureOver = pictureOf(imageOf(bag.read(KeyPictureOverSaved)));
    m_look.UseMaskColor = bag.readBool(KeyUseMaskColor, true);
    m_look.SoftBevel = bag.readBool(KeySoftBevel, false);
    m_look.PicturePosition = bag.readInt(KeyPicturePosition, 0);
    m_look.UseGreyscale = bag.readBool(KeyUseGreyscale, false);
    m_look.SpecialEffect = bag.readInt(KeySpecialEffect, 0);
    // The hand is applied through its setter only where the saved pointer is the custom one it
    // sets: applied always, a saved HandPointer of false would turn the pointer just read back to
    // the arrow and drop its icon, and a pointer chosen after the hand would be lost, on every load.
    m_handPointer = bag.readBool(KeyHandPointer, false);
    if (m_handPointer && m_mousePointer == PointerCustom)
        useHandPicture();
    applyPointer();
    m_look.CheckBoxBehaviour = bag.readBool(KeyCheckBoxBehaviour, false);
    m_look.Value = bag.readBool(KeyValue, false);

    QWidget::setEnabled(m_look.Enabled);
    MeasurePicture();
    LayoutCaption();
    UpdateAccessKey();
}

void XPButton::WriteProperties(PropertyBag &bag) const
{
    bag.write(KeyButtonType, m_look.ButtonType);
    bag.write(KeyCaption, m_look.Caption);
    bag.write(KeyEnabled, m_look.Enabled);
    bag.write(KeyFont, m_look.Font);
    bag.write(KeyColorScheme, m_look.ColorScheme);
    bag.write(KeyShowFocusRect, m_look.ShowFocusRect);
    bag.write(KeyBackColor, QVariant::fromValue<quint32>(m_look.BackColor));
    bag.write(KeyBackOver, QVariant::fromValue<quint32>(m_look.BackOver));
    bag.write(KeyForeColor, QVariant::fromValue<quint32>(m_look.ForeColor));
    bag.write(KeyForeOver, QVariant::fromValue<quint32>(m_look.ForeOver));
    bag.write(KeyMaskColor, QVariant::fromValue<quint32>(m_look.MaskColor));
    bag.write(KeyMousePointer, QVariant::fromValue<qint16>(m_mousePointer));
    bag.write(KeyMouseIcon, m_mouseIcon);
    bag.write(KeyPictureNormal, m_look.PictureNormal.image);
    bag.write(KeyPictureOverSaved, m_look.PictureOver.image);
    bag.write(KeyUseMaskColor, m_look.UseMaskColor);
    bag.write(KeySoftBevel, m_look.SoftBevel);
    bag.write(KeyPicturePosition, m_look.PicturePosition);
    bag.write(KeyUseGreyscale, m_look.UseGreyscale);
    bag.write(KeySpecialEffect, m_look.SpecialEffect);
    bag.write(KeyHandPointer, m_handPointer);
    bag.write(KeyCheckBoxBehaviour, m_look.CheckBoxBehaviour);
    bag.write(KeyValue, m_look.Value);
}

void XPButton::InitProperties()
{
    m_look.Enabled = true;
    m_look.ShowFocusRect = true;
    m_look.UseMaskColor = true;
    m_look.Caption = objectName();
    m_look.Font = parentWidget() ? parentWidget()->font() : QApplication::font();
    QWidget::setFont(m_look.Font);
    m_look.ButtonType = DefaultButtonType;
    m_look.ColorScheme = DefaultColorScheme;
    SetColors();
    m_look.BackColor = m_palette.face;
    m_look.BackOver = m_palette.face;
    m_look.ForeColor = m_palette.text;
    m_look.ForeOver = m_palette.text;
    m_look.MaskColor = DefaultMaskColor;
    LayoutCaption();
}

// --- Events -------------------------------------------------------------------------------------

void XPButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_surface.isNull())
        painter.fillRect(rect(), QColor::fromRgb(toQRgb(m_palette.face)));
    else
        drawPixelDrawing(painter, m_surface); // on a scaled screen, a clean scale of the look
}

void XPButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeProcedure();
}

void XPButton::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_look.ButtonType == TypeTransparent)
        CaptureBackground();
    m_paintingAllowed = true;
    SetColors();
    Paint(StateUp, true);
}

void XPButton::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_paintingAllowed = false;
}

void XPButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The parent's colours reach the button as a palette change: an ambient change for it.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
        ambientChanged();
}

void XPButton::pressButton(qint16 button, qint16 shift, float x, float y)
{
    Q_EMIT MouseDown(button, shift, x, y);
    m_mouseButton = button;
    if (button != ButtonRight)
        Paint(StateDown, false);
}

void XPButton::mousePressEvent(QMouseEvent *event)
{
    m_releaseEndsDoubleClick = false;
    const QPointF at = event->position();
    pressButton(buttonCode(event->button()), shiftCode(event->modifiers()), static_cast<float>(at.x()),
                static_cast<float>(at.y()));
}

void XPButton::mouseReleaseEvent(QMouseEvent *event)
{
    QPointer<XPButton> self(this);
    qint16 button = buttonCode(event->button());
    qint16 shift = shiftCode(event->modifiers());
    const QPointF at = event->position();
    float x = static_cast<float>(at.x());
    float y = static_cast<float>(at.y());
    Q_EMIT MouseUp(button, shift, x, y);
    if (!self)
        return;
    if (button != ButtonRight)
        Paint(StateUp, false);
    if (m_releaseEndsDoubleClick) {
        m_releaseEndsDoubleClick = false;
        releaseMouse();
        return;
    }
    // The host's click: a left release over the button (within its shape).
    const QRegion shape = mask().isEmpty() ? QRegion(rect()) : mask();
    if (event->button() == Qt::LeftButton && shape.contains(at.toPoint()))
        hostClick();
}

void XPButton::mouseDoubleClickEvent(QMouseEvent *)
{
    if (m_mouseButton != ButtonLeft)
        return;
    pressButton(ButtonLeft, 0, 0.0f, 0.0f);
    m_releaseEndsDoubleClick = true;
    grabMouse();
}

void XPButton::mouseMoveEvent(QMouseEvent *event)
{
    QPointer<XPButton> self(this);
    qint16 button = buttonCode(event->buttons());
    qint16 shift = shiftCode(event->modifiers());
    const QPointF at = event->position();
    float x = static_cast<float>(at.x());
    float y = static_cast<float>(at.y());
    Q_EMIT MouseMove(button, shift, x, y);
    if (!self || (button != 0 && button != ButtonLeft))
        return;
    const bool over = IsMouseOver();
    if (!over) {
        Paint(StateUp, false);
    } else if (button == ButtonLeft) {
        // Drawn pressed and hovered; the hover flag then keeps what it was. Cleared here, the next
        // plain move would raise a second MouseOver with no MouseOut between.
        const bool wasHovered = m_look.hovered;
        m_look.hovered = true;
        Paint(StateDown, false);
        m_look.hovered = wasHovered;
    } else if (!m_look.hovered) {
        m_overTimer.start();
        m_look.hovered = true;
        Paint(StateUp, true);
        Q_EMIT MouseOver();
    }
}

void XPButton::overTimerTick()
{
    if (IsMouseOver())
        return;
    m_overTimer.stop();
    m_look.hovered = false;
    Paint(StateUp, true);
    Q_EMIT MouseOut();
}

void XPButton::hostClick()
{
    if (m_mouseButton == ButtonLeft && m_look.Enabled)
        clickAction();
}

void XPButton::clickAction()
{
    if (m_look.CheckBoxBehaviour)
        setValue(!m_look.Value);
    Paint(StateUp, false);
    update();
    Q_EMIT Click();
}

void XPButton::click()
{
    accessKeyPressed();
}

void XPButton::accessKeyPressed()
{
    m_mouseButton = ButtonLeft;
    hostClick();
}

void XPButton::keyPressEvent(QKeyEvent *event)
{
    QPointer<XPButton> self(this);
    qint16 keyCode = virtualKey(event->key());
    qint16 shift = shiftCode(event->modifiers());
    Q_EMIT KeyDown(keyCode, shift);
    if (!self)
        return;
    m_lastKey = keyCode;
    if (keyCode == VkSpace)
        Paint(StateDown, false);
    else if (keyCode == VkLeft || keyCode == VkUp)
        focusNextPrevChild(false);
    else if (keyCode == VkRight || keyCode == VkDown)
        focusNextPrevChild(true);
    if (!self)
        return;
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() < 256) {
        qint16 keyAscii = static_cast<qint16>(text.at(0).unicode());
        Q_EMIT KeyPress(keyAscii);
    }
}

void XPButton::keyReleaseEvent(QKeyEvent *event)
{
    // A held key repeats its key-downs only; its one key-up comes when it is let go.
    if (event->isAutoRepeat())
        return;
    QPointer<XPButton> self(this);
    qint16 keyCode = virtualKey(event->key());
    qint16 shift = shiftCode(event->modifiers());
    Q_EMIT KeyUp(keyCode, shift);
    if (self && m_lastKey == VkSpace && keyCode == VkSpace)
        clickAction();
}

void XPButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_look.hasFocus = true;
    repaintLast();
}

void XPButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_look.hasFocus = false;
    repaintLast();
}

} // namespace kivaro
