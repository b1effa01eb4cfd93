#include "mainwindow/picturebox.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kivaro {

namespace {

// Enough for every look an element shows: the three backgrounds, a button's three looks, the eight
// progress frames.
constexpr qsizetype DeviceLooksKept = 12;

} // namespace

PictureBox::PictureBox(QWidget *parent, bool autoSize)
    : QWidget(parent)
    , m_autoSize(autoSize)
{
    setMouseTracking(true);
}

void PictureBox::setPicture(const QPixmap &picture)
{
    if (shows(picture) || (picture.isNull() && m_picture.isNull()))
        return;
    m_picture = picture;
    if (m_autoSize && !picture.isNull())
        resize(picture.deviceIndependentSize().toSize());
    update();
    Q_EMIT lookChanged();
}

bool PictureBox::shows(const QPixmap &picture) const
{
    return !m_picture.isNull() && m_picture.cacheKey() == picture.cacheKey();
}

void PictureBox::setBackgroundColour(const QColor &colour)
{
    m_background = colour;
    update();
    Q_EMIT lookChanged();
}

void PictureBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    if (m_background.isValid())
        painter.fillRect(rect(), m_background);
    if (m_picture.isNull())
        return;
    if (paintsPixelForPixel(painter) && m_picture.devicePixelRatio() == 1) {
        painter.drawPixmap(0, 0, m_picture);
        return;
    }
    const QTransform toDevice = painter.deviceTransform();
    drawDevicePicture(painter, deviceLook(toDevice.m11(), QPointF(toDevice.dx(), toDevice.dy())));
}

DevicePicture PictureBox::deviceLook(qreal scale, QPointF origin)
{
    // Only where the element falls between two device pixels changes the look, not where it is.
    const QPointF whole(std::floor(origin.x()), std::floor(origin.y()));
    const QPointF phase = origin - whole;
    const qint64 picture = m_picture.cacheKey();
    auto made = std::find_if(m_deviceLooks.cbegin(), m_deviceLooks.cend(), [&](const DeviceLook &look) {
        return look.picture == picture && look.scale == scale && look.phase == phase;
    });
    if (made == m_deviceLooks.cend()) {
        if (m_deviceLooks.size() >= DeviceLooksKept)
            m_deviceLooks.removeFirst();
        const QImage source = m_picture.toImage();
        const std::optional<QRgb> hole = source.hasAlphaChannel() ? std::nullopt : m_hole;
        m_deviceLooks.append(
            { picture, scale, phase, resampleForDevice(source, scale, phase, Resampling::Smooth, hole) });
        made = m_deviceLooks.cend() - 1;
    }
    DevicePicture look = made->look;
    look.topLeft += whole.toPoint();
    return look;
}

ShapeBox::ShapeBox(QWidget *parent)
    : QWidget(parent)
{
}

void ShapeBox::setFillColour(const QColor &colour)
{
    if (m_fill == colour)
        return;
    m_fill = colour;
    update();
}

void ShapeBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    painter.setPen(m_border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kivaro
