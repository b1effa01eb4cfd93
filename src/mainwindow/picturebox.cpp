#include "mainwindow/picturebox.h"

#include <QPainter>

namespace kivaro {

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
        resize(picture.size());
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
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);
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
