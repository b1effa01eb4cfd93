#pragma once

#include "controls/xpbutton/xpbuttonpainter.h"
#include "platform/formfile.h"
#include "platform/systemcolors.h"

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QShortcut;

namespace kivaro {

class PropertyBag;

// An owner-drawn push button with fourteen looks, five colour schemes, pictures, toggle behaviour
// and hover events. It paints through paintXPButton into its own picture of its client area (the
// persistent image) and shows that picture; its window shape follows the look, and the pixels cut
// away let the mouse through to what lies behind.
//
// What the host provides, the Qt way:
// - change notification: the propertyChanged signal, with the key the entry is saved under;
// - design versus run mode: setUserMode (run mode unless the host says otherwise);
// - the default button: setDisplayAsDefault, set by the host on the one button Enter stands for
//   (Qt's QPushButton::default in spirit; the button itself gives Enter no meaning);
// - the display name for a new instance: the widget's objectName; the host's font: the parent's;
// - ColorScheme 4 takes the parent's palette (QPalette::Window and WindowText) when SetColors runs;
// - the access key: an Alt+key QShortcut in the button's window, made by UpdateAccessKey;
// - moving the focus on arrow keys: focusNextPrevChild, as Tab and Shift+Tab do.
//
// The events are signals whose arguments are references: a handler connected directly (the
// default within one thread; never queued) may change them, and the button's own reaction after
// the event uses the changed values (setting KeyCode to 0 in KeyDown, for instance, keeps a Space
// from pressing the button). Button is 1 left, 2 right, 4 middle (a sum while moving); Shift is
// 1 Shift, 2 Ctrl, 4 Alt; KeyCode is the desktop's virtual key code (Space 32, Left 37, A 65);
// X and Y are in the button's own pixels.
class XPButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 BackOver READ BackOver WRITE setBackOver)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(quint32 ForeOver READ ForeOver WRITE setForeOver)
    Q_PROPERTY(quint32 MaskColor READ MaskColor WRITE setMaskColor)
    Q_PROPERTY(int ButtonType READ ButtonType WRITE setButtonType)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(qint16 FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(int ColorScheme READ ColorScheme WRITE setColorScheme)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(qint16 MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QImage MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool HandPointer READ HandPointer WRITE setHandPointer)
    Q_PROPERTY(QWidget *hWnd READ hWnd)
    Q_PROPERTY(bool SoftBevel READ SoftBevel WRITE setSoftBevel)
    Q_PROPERTY(QImage PictureNormal READ PictureNormal WRITE setPictureNormal)
    Q_PROPERTY(QImage PictureOver READ PictureOver WRITE setPictureOver)
    Q_PROPERTY(int PicturePosition READ PicturePosition WRITE setPicturePosition)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(bool UseGreyscale READ UseGreyscale WRITE setUseGreyscale)
    Q_PROPERTY(int SpecialEffect READ SpecialEffect WRITE setSpecialEffect)
    Q_PROPERTY(bool CheckBoxBehaviour READ CheckBoxBehaviour WRITE setCheckBoxBehaviour)
    Q_PROPERTY(bool Value READ Value WRITE setValue)
    Q_PROPERTY(QString Version READ Version)

public:
    // The paint states.
    static constexpr int StateUp = 0;
    static constexpr int StateDown = 2;
    // The pointer codes the button itself uses.
    static constexpr qint16 PointerArrow = 1;
    static constexpr qint16 PointerCustom = 99;
    // The hover timer's interval.
    static constexpr int OverInterval = 100;
    // The pointing hand, when the host has built it in (kivaroassets); else Qt's own hand is used.
    static constexpr QLatin1String HandCursorResource { ":/cursors/pointing-hand-hotspot-5-0.png" };

    explicit XPButton(QWidget *parent = nullptr);
    ~XPButton() override;

    // The 23 saved keys, in their reading and saving order, with how a form file spells them.
    static FormSchema formSchema();

    ColorRef BackColor() const { return m_look.BackColor; }
    void setBackColor(ColorRef colour);
    ColorRef BackOver() const { return m_look.BackOver; }
    void setBackOver(ColorRef colour);
    ColorRef ForeColor() const { return m_look.ForeColor; }
    void setForeColor(ColorRef colour);
    ColorRef ForeOver() const { return m_look.ForeOver; }
    void setForeOver(ColorRef colour);
    ColorRef MaskColor() const { return m_look.MaskColor; }
    void setMaskColor(ColorRef colour);
    int ButtonType() const { return m_look.ButtonType; }
    void setButtonType(int type);
    QString Caption() const { return m_look.Caption; }
    void setCaption(const QString &caption);
    // Also the widget's own enabled state (QWidget::setEnabled is hidden on purpose: the button
    // repaints and notifies first).
    bool Enabled() const { return m_look.Enabled; }
    void setEnabled(bool enabled);
    QFont Font() const { return m_look.Font; }
    void setFont(const QFont &font);
    bool FontBold() const { return m_look.Font.bold(); }
    void setFontBold(bool bold);
    bool FontItalic() const { return m_look.Font.italic(); }
    void setFontItalic(bool italic);
    bool FontUnderline() const { return m_look.Font.underline(); }
    void setFontUnderline(bool underline);
    // The size in whole points, rounded half to even; the font keeps its real size.
    qint16 FontSize() const;
    void setFontSize(qint16 size);
    QString FontName() const { return m_look.Font.family(); }
    void setFontName(const QString &name);
    int ColorScheme() const { return m_look.ColorScheme; }
    void setColorScheme(int scheme);
    bool ShowFocusRect() const { return m_look.ShowFocusRect; }
    void setShowFocusRect(bool show);
    qint16 MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    QImage MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QImage &icon);
    bool HandPointer() const { return m_handPointer; }
    void setHandPointer(bool hand);
    QWidget *hWnd() { return this; }
    bool SoftBevel() const { return m_look.SoftBevel; }
    void setSoftBevel(bool soft);
    // Pictures with an alpha channel are drawn as icons: their transparent parts take MaskColor.
    QImage PictureNormal() const { return m_look.PictureNormal.image; }
    void setPictureNormal(const QImage &picture);
    QImage PictureOver() const { return m_look.PictureOver.image; }
    void setPictureOver(const QImage &picture);
    int PicturePosition() const { return m_look.PicturePosition; }
    void setPicturePosition(int position);
    bool UseMaskColor() const { return m_look.UseMaskColor; }
    void setUseMaskColor(bool use);
    bool UseGreyscale() const { return m_look.UseGreyscale; }
    void setUseGreyscale(bool use);
    int SpecialEffect() const { return m_look.SpecialEffect; }
    void setSpecialEffect(int effect);
    bool CheckBoxBehaviour() const { return m_look.CheckBoxBehaviour; }
    void setCheckBoxBehaviour(bool toggle);
    bool Value() const { return m_look.Value; }
    void setValue(bool value);
    QString Version() const;

    // Clicks the button as its access key does (no mouse events): a toggle changes its Value, then
    // Click is raised; nothing while it is disabled. Assistive technology presses it so.
    void click();

    // Stops all painting until Refresh, to change several properties without drawing in between.
    void DisableRefresh();
    void Refresh();

    // Loading, saving and first placement of the design-time settings.
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;
    void InitProperties();

    // What the host says about the button. Both count as a change of the host's ambient properties.
    bool UserMode() const { return m_userMode; }
    void setUserMode(bool runMode);
    bool DisplayAsDefault() const { return m_look.isDefault; }
    void setDisplayAsDefault(bool isDefault);

    // The lower-case access key, or a null character for none.
    QChar AccessKey() const { return m_accessKey; }
    // The pointer is over the button itself: not over a child of it, nor over another window.
    bool IsMouseOver() const;
    bool isHovered() const { return m_look.hovered; }
    bool isOverTimerActive() const { return m_overTimer.isActive(); }
    int lastPaintedState() const { return m_lastState; }

    // The persistent image, the palette and the layout as the last paint and layout left them.
    const QImage &surface() const { return m_surface; }
    const XPButtonPalette &colors() const { return m_palette; }
    const XPButtonLayout &captionLayout() const { return m_layout; }

    // Draws the button into the persistent image as it looks in state with the given hover and
    // focus flags, for a picture of it (the gallery); the flags are the button's own again after.
    void paintAs(int state, bool hovered, bool focused);

Q_SIGNALS:
    void Click();
    void MouseDown(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void MouseUp(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void KeyPress(qint16 &KeyAscii);
    void KeyDown(qint16 &KeyCode, qint16 &Shift);
    void KeyUp(qint16 &KeyCode, qint16 &Shift);
    void MouseOver();
    void MouseOut();
    // The saved entry under key has changed.
    void propertyChanged(const QString &key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void Paint(int state, bool force);
    void repaintLast() { Paint(m_lastState, true); }
    void SetColors();
    void LayoutCaption();
    void MeasurePicture();
    void UpdateAccessKey();
    void CaptureBackground();
    void resizeProcedure();
    void ambientChanged();
    void applyPointer();
    void pressButton(qint16 button, qint16 shift, float x, float y);
    void hostClick();
    void clickAction();
    void accessKeyPressed();
    void overTimerTick();
    void notify(const char *key);

    XPButtonLook m_look;
    XPButtonPalette m_palette;
    XPButtonLayout m_layout;
    QImage m_surface;

    // Paint bookkeeping.
    int m_lastState = StateUp;
    QString m_lastCaption;
    bool m_paintingAllowed = true;
    bool m_resizeSuspended = false;
    // Interaction.
    qint16 m_mouseButton = 0;
    qint16 m_lastKey = 0;
    // The release that ends a double click raises no second Click.
    bool m_releaseEndsDoubleClick = false;
    QTimer m_overTimer;
    QChar m_accessKey;
    QPointer<QShortcut> m_accessShortcut;
    // Host and pointer.
    bool m_userMode = true;
    qint16 m_mousePointer = 0;
    QImage m_mouseIcon;
    QPoint m_mouseIconHotSpot;
    bool m_handPointer = false;
};

} // namespace kivaro
