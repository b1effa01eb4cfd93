#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace kivaro {

// A picture element of a skinned window: it shows a shared picture from its top-left corner over its
// background colour, or lets what lies beneath show through when it has neither. An image element
// (autoSize) takes the size of each picture it is given; a picture box keeps its own size.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr, bool autoSize = false);

    void setPicture(const QPixmap &picture);
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
    QPixmap m_picture;
    QColor m_background; // invalid: none
    bool m_autoSize;
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
