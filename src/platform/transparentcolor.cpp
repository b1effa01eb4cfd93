#include "platform/transparentcolor.h"

#include <QBitmap>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

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
        const QRegion region = opaqueRegion(look, m_key);
        const QRegion previous = m_window->mask();
        if (region == previous)
            return;
        m_window->setMask(region);
        // The desktop fills what a shape gains with the window's background colour, the key
        // itself, and need not ask for it to be drawn: draw it (as when a skin's outline is less
        // rounded than the one before).
        if (!previous.isEmpty())
            m_window->update(region - previous);
    }

    QPointer<QWidget> m_window;
    QRgb m_key;
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
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= ~RgbMask;
    }
    // As QPixmap::createMaskFromColor() has it: in a bitmap made with MaskInColor the pixels of the
    // key are the transparent ones, and the region of a bitmap is its opaque pixels.
    return QRegion(QBitmap::fromImage(image.createMaskFromColor(key | ~RgbMask, Qt::MaskInColor)));
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
