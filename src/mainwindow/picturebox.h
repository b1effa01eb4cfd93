#pragma once

#include "platform/devicepicture.h"

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QWidget>

#include <optional>

namespace kivaro {

// A picture element of a skinned window: it shows a shared picture from its top-left corner over its
// background colour, or lets what lies beneath show through when it has neither. An image element
// (autoSize) takes the size of each picture it is given (in logical pixels: an "@2x" picture of 74
// x 60 pixels measures 37 x 30); a picture box keeps its own size.
//
// On a scaled screen the picture is drawn on the screen's own pixels, blended smoothly where the
// picture has fewer pixels than the screen shows (a skin without "@2x" pictures) and averaged where
// it has more. Pixels of the window's see-through colour (setHoleColour) stay exactly that colour
// or become the picture's own colours, never a blend of the two, so the window's outline stays
// exact and no fringe of the see-through colour shows along it.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr, bool autoSize = false);

    void setPicture(const QPixmap &picture);
    // The window's see-through colour, in the pictures without an alpha channel.
    void setHoleColour(QRgb colour) { m_hole = colour; }
    const QPixmap &picture() const { return m_picture; }
    // Whether this shows that very picture (the same shared picture, not merely an equal one).
    bool shows(const QPixmap &picture) const;

    void setBackgroundColour(const QColor &colour);
    QColor backgroundColour() const { return m_background; }

Q_SIGNALS:
    // The element shows another picture or colour (its part of the window's shape may change).
    void lookChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DevicePicture deviceLook(qreal scale, QPointF origin);

    QPixmap m_picture;
    QColor m_background; // invalid: none
    bool m_autoSize;
    std::optional<QRgb> m_hole;
    // The pictures lately drawn on a scaled screen, newest last: the looks an element switches
    // between are made once each.
    struct DeviceLook
    {
        qint64 picture;
        qreal scale;
        QPointF phase; // where between two device pixels the element begins
        DevicePicture look; // for an element beginning at phase
    };
    QList<DeviceLook> m_deviceLooks;
};

// The frame drawn behind the history glyph: a filled rectangle with a one-pixel border.
class ShapeBox : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeBox(QWidget *parent = nullptr);

    void setFillColour(const QColor &colour);
    QColor fillColour() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill = Qt::white;
    const QColor m_border = Qt::blue;
};

} // namespace kivaro
