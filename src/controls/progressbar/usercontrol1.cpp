#include "controls/progressbar/usercontrol1.h"

#include "controls/progressbar/progressbarstyle.h"
#include "controls/progressbar/usercontrol1accessible.h"
#include "platform/canvas.h"
#include "platform/devicepicture.h"
#include "platform/propertybag.h"
#include "platform/rounding.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>
#include <QVariant>

#include <algorithm>

namespace kivaro {

using namespace progressbar;

namespace {

// Storage keys, in the order they are saved.
constexpr QLatin1String KeyFont("Font");
constexpr QLatin1String KeyBrushStyle("BrushStyle");
constexpr QLatin1String KeyColor("Color");
constexpr QLatin1String KeyImage("Image");
constexpr QLatin1String KeyMax("Max");
constexpr QLatin1String KeyMin("Min");
constexpr QLatin1String KeyOrientation("Orientation");
constexpr QLatin1String KeyScrolling("Scrolling");
constexpr QLatin1String KeyShowText("ShowText");
constexpr QLatin1String KeyValue("Value");

QFont defaultFont()
{
    QFont font { QLatin1String(DefaultFontFamily) };
    font.setPointSizeF(DefaultFontPointSize);
    return font;
}

} // namespace

UserControl1::UserControl1(QWidget *parent)
    : QWidget(parent)
    , m_min(DefaultMin)
    , m_max(DefaultMax)
    , m_hWnd(this)
{
    // Screen readers learn of the bar through its own description (installed once), which must be
    // there before the bar's first change: Qt describes a widget then and keeps the description.
    QAccessible::installFactory(userControl1AccessibleFactory);
    QWidget::setFont(defaultFont());
    m_look.font = font();
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    // Every pixel is painted from the picture; nothing needs to be cleared first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(DefaultSize);
    setHdc();
    m_look.percentage = 0;
    m_look.orientation = Horizontal;
    m_look.scrolling = LookSegmented;
    m_look.brushStyle = DefaultBrushStyleNew;
    m_look.color = TranslateColor(DefaultColor);
    DrawProgressBar();
}

UserControl1::~UserControl1() = default;

int UserControl1::percentageFor(int value) const
{
    // Worked out in floating point over the whole range, so no value can overflow. An empty range
    // has nothing in between: a value past its start shows a full bar.
    const double span = static_cast<double>(m_max) - m_min;
    if (span == 0.0)
        return value > m_min ? FullPercentage : 0;
    return roundToInt((static_cast<double>(value) - m_min) * FullPercentage / span);
}

int UserControl1::Value() const
{
    const double span = static_cast<double>(m_max) - m_min;
    return roundToInt(m_min + m_look.percentage / static_cast<double>(FullPercentage) * span);
}

void UserControl1::setValue(int value)
{
    const int before = m_look.percentage;
    m_look.percentage = percentageFor(value);
    DrawProgressBar();
    if (m_look.percentage != before) {
        QAccessibleValueChangeEvent changed(this, Value());
        QAccessible::updateAccessibility(&changed);
    }
}

void UserControl1::setOrientation(int orientation)
{
    m_look.orientation = orientation;
    DrawProgressBar();
}

void UserControl1::setScrolling(int scrolling)
{
    m_look.scrolling = scrolling;
    DrawProgressBar();
}

void UserControl1::setColor(ColorRef colour)
{
    m_look.color = TranslateColor(colour);
    DrawProgressBar();
}

void UserControl1::setImage(const QImage &image)
{
    m_look.image = image;
    DrawProgressBar();
}

void UserControl1::setShowText(bool show)
{
    m_look.showText = show;
    DrawProgressBar();
}

QWidget *UserControl1::hWnd() const
{
    return m_hWnd ? m_hWnd.data() : const_cast<UserControl1 *>(this);
}

void UserControl1::setHWnd(QWidget *window)
{
    m_hWnd = window ? window : this;
}

QPaintDevice *UserControl1::hdc()
{
    if (!m_picture.isNull())
        return &m_picture;
    return this;
}

void UserControl1::setHdc()
{
    const QSize wanted = size();
    if (!m_picture.isNull()) {
        if (m_picture.width() >= wanted.width() && m_picture.height() >= wanted.height())
            return;
        m_picture = QImage();
    }
    if (wanted.width() <= 0 || wanted.height() <= 0)
        return;
    // A picture that cannot be made (too large for memory) leaves the control painting straight
    // onto the screen, as it does before it has a size.
    m_picture = QImage(wanted, QImage::Format_RGB32);
    m_pictureFresh = false;
}

QSize UserControl1::clientSize() const
{
    return hWnd()->size();
}

void UserControl1::render()
{
    if (m_look.percentage > FullPercentage)
        m_look.percentage = FullPercentage;
    if (m_picture.isNull())
        return;
    Canvas canvas(m_picture);
    paintProgressBar(canvas, clientSize(), m_look);
}

void UserControl1::DrawProgressBar()
{
    render();
    m_pictureFresh = !m_picture.isNull();
    update();
}

void UserControl1::pDraw(QPainter &target, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst,
                         int yDst) const
{
    if (m_picture.isNull())
        return;
    const int w = WidthSrc < 1 ? m_picture.width() : WidthSrc;
    const int h = HeightSrc < 1 ? m_picture.height() : HeightSrc;
    const QRect source = QRect(xSrc, ySrc, w, h).intersected(m_picture.rect());
    if (source.isEmpty())
        return;
    target.drawImage(QPoint(xDst + source.x() - xSrc, yDst + source.y() - ySrc), m_picture, source);
}

void UserControl1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        // No off-screen picture: paint straight onto the window.
        m_look.percentage = std::min(m_look.percentage, FullPercentage);
        QImage direct(clientSize(), QImage::Format_RGB32);
        if (direct.isNull())
            return;
        Canvas canvas(direct);
        paintProgressBar(canvas, clientSize(), m_look);
        drawPixelDrawing(painter, direct);
        return;
    }
    // A repaint the control did not ask for itself (uncovered, resized) paints the bar afresh.
    if (!m_pictureFresh)
        render();
    m_pictureFresh = false;
    if (paintsPixelForPixel(painter))
        pDraw(painter, 0, 0, width(), height(), 0, 0);
    else // a scaled screen: a clean scale of the bar as it looks at one device pixel to the pixel
        drawPixelDrawing(painter, m_picture.copy(rect()));
}

void UserControl1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setHdc();
    m_pictureFresh = false;
}

void UserControl1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_look.font = font();
    QWidget::changeEvent(event);
}

QSize UserControl1::sizeHint() const
{
    return DefaultSize;
}

void UserControl1::ReadProperties(const PropertyBag &bag)
{
    // The font is saved with the rest, so it is read back as well (before anything paints).
    const QVariant storedFont = bag.read(KeyFont);
    if (storedFont.canConvert<QFont>() && storedFont.metaType() == QMetaType::fromType<QFont>())
        QWidget::setFont(storedFont.value<QFont>());
    m_look.brushStyle = bag.readInt(KeyBrushStyle, DefaultBrushStyleStored);
    setColor(bag.readColor(KeyColor, DefaultColor));
    const QVariant storedImage = bag.read(KeyImage);
    m_look.image
        = storedImage.metaType() == QMetaType::fromType<QImage>() ? storedImage.value<QImage>() : QImage();
    setMax(bag.readInt(KeyMax, DefaultMax));
    setMin(bag.readInt(KeyMin, DefaultMin));
    setOrientation(bag.readInt(KeyOrientation, Horizontal));
    setScrolling(bag.readInt(KeyScrolling, LookSegmented));
    setShowText(bag.readBool(KeyShowText, false));
    // "Value" holds the percentage itself, so it goes back as a percentage; fed through setValue it
    // would be scaled by Max a second time.
    m_look.percentage = bag.readInt(KeyValue, 0);
    DrawProgressBar();
}

FormSchema UserControl1::formSchema()
{
    return { { KeyFont, FormValue::Font },           { KeyBrushStyle, FormValue::Integer },
             { KeyColor, FormValue::Colour },        { KeyImage, FormValue::Picture },
             { KeyMax, FormValue::Integer },         { KeyMin, FormValue::Integer },
             { KeyOrientation, FormValue::Integer }, { KeyScrolling, FormValue::Integer },
             { KeyShowText, FormValue::Boolean },    { KeyValue, FormValue::Integer } };
}

void UserControl1::WriteProperties(PropertyBag &bag) const
{
    bag.write(KeyFont, font());
    bag.write(KeyBrushStyle, m_look.brushStyle, DefaultBrushStyleStored);
    bag.write(KeyColor, m_look.color, DefaultColor);
    bag.write(KeyImage, m_look.image, QImage());
    bag.write(KeyMax, m_max, DefaultMax);
    bag.write(KeyMin, m_min, DefaultMin);
    bag.write(KeyOrientation, m_look.orientation, Horizontal);
    bag.write(KeyScrolling, m_look.scrolling, static_cast<int>(LookSegmented));
    bag.write(KeyShowText, m_look.showText, false);
    bag.write(KeyValue, m_look.percentage, 0);
}

} // namespace kivaro
