#pragma once

#include "controls/progressbar/progressbarpainter.h"
#include "platform/formfile.h"
#include "platform/systemcolors.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

class QPainter;
class QPaintDevice;

namespace kivaro {

class PropertyBag;

// A drawn progress bar with ten looks. It keeps its position as a percentage, paints itself into an
// off-screen picture and brings that picture to the screen in one copy, so it never flickers
// however often its value changes. Its settings are kept in the host's property bag.
class UserControl1 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int Scrolling READ Scrolling WRITE setScrolling)
    Q_PROPERTY(int BrushStyle READ BrushStyle WRITE setBrushStyle)
    Q_PROPERTY(quint32 Color READ Color WRITE setColor)
    Q_PROPERTY(QImage Image READ Image WRITE setImage)
    Q_PROPERTY(bool ShowText READ ShowText WRITE setShowText)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QWidget *hWnd READ hWnd WRITE setHWnd)
    Q_PROPERTY(QPaintDevice *hdc READ hdc)

public:
    explicit UserControl1(QWidget *parent = nullptr);
    ~UserControl1() override;

    // The position, mapped through the range: the control keeps (Value - Min) x 100 / (Max - Min)
    // rounded, and gives back Min + percentage / 100 x (Max - Min) rounded, so a value can come back
    // rounded through the percentage. Setting it repaints.
    int Value() const;
    void setValue(int value);
    // Neither changes the percentage or the picture.
    int Min() const { return m_min; }
    void setMin(int min) { m_min = min; }
    int Max() const { return m_max; }
    void setMax(int max) { m_max = max; }

    int Orientation() const { return m_look.orientation; }
    void setOrientation(int orientation);
    int Scrolling() const { return m_look.scrolling; }
    void setScrolling(int scrolling);
    // Used by the hatched look; takes effect with the next repaint.
    int BrushStyle() const { return m_look.brushStyle; }
    void setBrushStyle(int style) { m_look.brushStyle = style; }
    // A system-colour code is turned into its RGB value when set; the RGB value is what is kept.
    ColorRef Color() const { return m_look.color; }
    void setColor(ColorRef colour);
    QImage Image() const { return m_look.image; }
    void setImage(const QImage &image);
    bool ShowText() const { return m_look.showText; }
    void setShowText(bool show);
    // The font of the percentage text is the widget's own font (set with QWidget::setFont); a new
    // control gets the desktop's standard small font rather than its parent's.
    QFont Font() const { return font(); }

    // The widget whose size is painted; the control itself unless set otherwise.
    QWidget *hWnd() const;
    void setHWnd(QWidget *window);
    // Where painting goes: the off-screen picture, or the control itself while it has none.
    QPaintDevice *hdc();
    // Asks for an off-screen picture of the control's size. The picture only ever grows: it is
    // made anew when the control has become wider or taller than it, and kept when it shrinks.
    void setHdc();

    // The position as the control holds it, as a percentage (at most 100 after a repaint).
    int percentage() const { return m_look.percentage; }
    // The off-screen picture; null while there is none.
    const QImage &picture() const { return m_picture; }

    // Paints the bar now into the off-screen picture and has it copied to the screen.
    void DrawProgressBar();
    // Copies (xSrc, ySrc, WidthSrc x HeightSrc) of the off-screen picture to (xDst, yDst) of target;
    // a width or height below 1 stands for the picture's whole width or height.
    void pDraw(QPainter &target, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst, int yDst) const;

    // Loading and saving the design-time settings through the host's property bag.
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;
    // The saved keys in their saving order, with how a form file spells them.
    static FormSchema formSchema();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QSize clientSize() const;
    int percentageFor(int value) const;
    void render();

    ProgressBarLook m_look;
    int m_min;
    int m_max;
    QPointer<QWidget> m_hWnd;
    QImage m_picture;
    // True between a DrawProgressBar and the copy to the screen that it asked for, so that copy
    // does not paint the same picture a second time.
    bool m_pictureFresh = false;
};

} // namespace kivaro
