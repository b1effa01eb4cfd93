#include "platform/transparentcolor.h"

#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace kivaro {

namespace {

constexpr QRgb RgbMask = 0x00ffffff; // alpha plays no part in the key

// Watches a window and its children; after anything is repainted, the mask is made anew from what
// the window now looks like (once per turn of the event loop, however many widgets repainted).
class ColourKey : public QObject
{
public:
    ColourKey(QWidget *window, QRgb key)
        : QObject(window)
        , m_window(window)
        , m_key(key)
    {
        setObjectName(QStringLiteral("kivaroColourKey"));
        m_refresh.setSingleShot(true);
        m_refresh.setInterval(0);
        connect(&m_refresh, &QTimer::timeout, this, &ColourKey::refresh);
        watch(window);
        refresh();
    }

    void setKey(QRgb key)
    {
        m_key = key;
        refresh();
    }

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ChildAdded:
            if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
                watch(child);
            break;
        case QEvent::Paint:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            if (!m_refreshing)
                m_refresh.start();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void watch(QWidget *widget)
    {
        widget->installEventFilter(this);
        for (QObject *child : widget->children()) {
            if (auto *w = qobject_cast<QWidget *>(child))
                watch(w);
        }
    }

    void refresh()
    {
        if (!m_window)
            return;
        // Drawing the window into a picture paints it once more; those paints must not ask for
        // another refresh.
        m_refreshing = true;
        const QImage look = m_window->grab().toImage();
        m_refreshing = false;
        const QRegion region = opaqueRegion(look, m_key);
        if (region != m_window->mask())
            m_window->setMask(region);
    }

    QPointer<QWidget> m_window;
    QRgb m_key;
    QTimer m_refresh;
    bool m_refreshing = false;
};

QRgb toRgb(quint32 colour)
{
    return qRgb(int(colour & 0xff), int((colour >> 8) & 0xff), int((colour >> 16) & 0xff));
}

} // namespace

QRegion opaqueRegion(const QImage &source, QRgb key)
{
    const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
        ? source
        : source.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = key & RgbMask;
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && (line[x] & RgbMask) == wanted)
                ++x;
            const int start = x;
            while (x < image.width() && (line[x] & RgbMask) != wanted)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

void SetTransparentColor(QWidget *window, quint32 colour)
{
    const QRgb key = toRgb(colour) & RgbMask;
    if (auto *existing = window->findChild<ColourKey *>(QStringLiteral("kivaroColourKey"), Qt::FindDirectChildrenOnly))
        existing->setKey(key);
    else
        new ColourKey(window, key);
}

} // namespace kivaro
