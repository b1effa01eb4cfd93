#include "platform/transparentcolor.h"

#include "platform/nativeshape.h"

#include <QBitmap>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <optional>

namespace kivaro {

namespace {

constexpr QRgb RgbMask = 0x00ffffff; // alpha plays no part in the key
constexpr const char *ColourKeyName = "kivaroColourKey";

// Keeps a window's mask in step with what the window shows. The mask is made anew (once per turn
// of the event loop, however often it is asked for) when the window is shown or resized and when
// its owner says that a picture has changed: repainting only text, such as a scrolling ticker,
// leaves the shape alone and costs nothing here.
class ColourKey : public QObject
{
public:
    ColourKey(QWidget *window, QRgb key)
        : QObject(window)
        , m_window(window)
        , m_key(key)
    {
        setObjectName(QLatin1String(ColourKeyName));
        m_refresh.setSingleShot(true);
        m_refresh.setInterval(0);
        connect(&m_refresh, &QTimer::timeout, this, &ColourKey::refresh);
        window->installEventFilter(this);
        refresh();
    }

    void setKey(QRgb key)
    {
        m_key = key;
        refresh();
    }

    void scheduleRefresh() { m_refresh.start(); }

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (!m_refreshing && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
            m_refresh.start();
        // A window shown again may have a new native window, without the shape of the old one.
        if (event->type() == QEvent::Show)
            m_deviceShape.reset();
        return false;
    }

private:
    void refresh()
    {
        if (!m_window)
            return;
        // Drawing a window that has not been shown yet hands it its pending resize events; those
        // must not ask for another refresh.
        m_refreshing = true;
        const QImage look = m_window->grab().toImage();
        m_refreshing = false;
        const qreal scale = look.devicePixelRatio();
        const QRegion region = scale == 1 ? opaqueRegion(look, m_key) : opaqueRegion(look, m_key, scale);
        const QRegion previous = m_window->mask();
        if (region != previous) {
            m_window->setMask(region);
            // The desktop fills what a shape gains with the window's background colour, the key
            // itself, and need not ask for it to be drawn: draw it (as when a skin's outline is
            // less rounded than the one before).
            if (!previous.isEmpty())
                m_window->update(region - previous);
        }
        if (scale == 1)
            return;
        // The mask is as close as logical pixels come; where the desktop takes the shape in its
        // own pixels, the window gets the picture's outline exactly. Qt puts its own rounding of
        // the mask on the window whenever the mask changes, so this goes on after each change.
        const QRegion device = opaqueRegion(look, m_key);
        if (region == previous && m_deviceShape && *m_deviceShape == device)
            return;
        if (setNativeShape(m_window, device))
            m_deviceShape = device;
    }

    QPointer<QWidget> m_window;
    QRgb m_key;
    // The shape the native window was last given in device pixels; none after a show.
    std::optional<QRegion> m_deviceShape;
    QTimer m_refresh;
    bool m_refreshing = false;
};

ColourKey *colourKeyOf(QWidget *window)
{
    return window->findChild<ColourKey *>(QLatin1String(ColourKeyName), Qt::FindDirectChildrenOnly);
}

QRgb toRgb(quint32 colour)
{
    return qRgb(int(colour & 0xff), int((colour >> 8) & 0xff), int((colour >> 16) & 0xff));
}

} // namespace

QRegion opaqueRegion(const QImage &source, QRgb key)
{
    // Every pixel is compared in its opaque form: alpha plays no part in the key.
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= ~RgbMask;
    }
    // As QPixmap::createMaskFromColor() has it: in a bitmap made with MaskInColor the pixels of the
    // key are the transparent ones, and the region of a bitmap is its opaque pixels.
    return QRegion(QBitmap::fromImage(image.createMaskFromColor(key | ~RgbMask, Qt::MaskInColor)));
}

QRegion opaqueRegion(const QImage &deviceImage, QRgb key, qreal scale)
{
    if (deviceImage.isNull() || scale <= 0)
        return {};
    const int w = static_cast<int>(std::lround(deviceImage.width() / scale));
    const int h = static_cast<int>(std::lround(deviceImage.height() / scale));
    QImage logical(w, h, QImage::Format_ARGB32);
    if (logical.isNull())
        return {};
    const QImage device = deviceImage.convertToFormat(QImage::Format_ARGB32);
    const auto under = [scale](int at, int limit) {
        return std::min(static_cast<int>(std::floor((at + 0.5) * scale)), limit - 1);
    };
    for (int y = 0; y < h; ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(device.constScanLine(under(y, device.height())));
        auto *to = reinterpret_cast<QRgb *>(logical.scanLine(y));
        for (int x = 0; x < w; ++x)
            to[x] = from[under(x, device.width())];
    }
    return opaqueRegion(logical, key);
}

void SetTransparentColor(QWidget *window, quint32 colour)
{
    const QRgb key = toRgb(colour) & RgbMask;
    if (ColourKey *existing = colourKeyOf(window))
        existing->setKey(key);
    else
        new ColourKey(window, key);
}

void updateTransparentColor(QWidget *window)
{
    if (ColourKey *key = colourKeyOf(window))
        key->scheduleRefresh();
}

} // namespace kivaro
