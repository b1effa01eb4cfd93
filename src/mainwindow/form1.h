#pragma once

#include "engine/mainwindowinterface.h"
#include "platform/settings.h"

#include <QPixmap>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QMessageBox;
class QTimer;

namespace kivaro {

class Form2;
class UserControl1;
class PictureBox;
class ShapeBox;

// The pictures the main window can show, kept apart from the visible elements that show them. A skin
// replaces them; the elements pick them up the next time a handler shows them.
struct StoredLooks
{
    QPixmap IMn, IMd, ImGo;      // backgrounds: normal, search button pressed, search button lit
    QPixmap En, Eo, Ed;          // menu button: normal, under the mouse, pressed
    QPixmap Dn, Doo, Dd;         // minimise button
    QPixmap Xn, Xo, Xd;          // exit button
    std::array<QPixmap, 9> P;    // progress frames 0 to 7; P[8] holds no picture
    QPixmap historyGlyph;
    QPixmap handCursor;

    // The pictures the program comes with.
    static StoredLooks defaults();
};

// The main window: a small borderless, skinned window with a search box, a search button that shows
// the progress frames, the title now playing as a link to the record shop, a history drop-down,
// three title-bar buttons and a scrolling welcome ticker. It does no searching itself: it hands the
// query to the engine and shows what the engine reports.
class Form1 : public QWidget, public MainWindowInterface
{
    Q_OBJECT

public:
    using EngineAccess = std::function<Form2 &()>;

    Form1(const Settings &settings, EngineAccess engine, std::unique_ptr<Player> flash, QWidget *parent = nullptr);
    ~Form1() override;

    // The artist-and-title search the program starts with, also the search box's first text.
    static QString DefaultQuery() { return QStringLiteral("Red Band - Blue Song"); }
    // The welcome text that scrolls through the ticker line (one trailing space short of the full
    // ticker text, which the ticker keeps in its tag).
    static QString tickerCaption();

    // MainWindowInterface
    Player &flash() override { return *m_flash; }
    QString searchResultFlag() const override;
    void setSearchResultFlag(const QString &flag) override;
    QString titleCaption() const override;
    void setTitleCaption(const QString &title) override;
    QString searchText() const override;
    void setSearchText(const QString &text) override;
    void focusSearchBox() override;
    void Add(const QString &title) override;
    void showSkinChooser() override;
    void showNotice(const QString &text) override;

    // The full title behind the title link (the tag of Label2).
    QString fullTitle() const;
    // The record shop's search for the artist of a title; empty when there is nothing to search.
    static QString shopSearchAddress(const QString &shopAddress, const QString &fullTitle);
    // The window's position, in twips, for a drag: the grab point stays under the pointer. Screens
    // are taken to have 15 twips to the pixel.
    static QPoint dragPosition(const QPoint &pointer, int grabX, int grabY);

    // Hands the search box's text to the engine (Enter, or releasing the search button).
    void startSearch();

    // How the desktop is asked to open an address, and how the program ends; tests replace them.
    void setUrlOpener(std::function<void(const QUrl &)> opener) { m_openUrl = std::move(opener); }
    void setProgramEnder(std::function<void()> ender) { m_endProgram = std::move(ender); }
    // What the exit button does: ends the program at once, its music with it.
    void endProgram();

    StoredLooks &looks() { return m_looks; }
    // Replaces the stored pictures; visible elements show them the next time a handler does.
    void setLooks(const StoredLooks &looks);

    // Visible elements, all inside Picture1.
    PictureBox *Picture1 = nullptr;
    QLineEdit *Text1 = nullptr;
    PictureBox *Image1 = nullptr;
    PictureBox *Image2 = nullptr;
    ShapeBox *Shape1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblStat = nullptr;
    PictureBox *Eb = nullptr;
    PictureBox *Db = nullptr;
    PictureBox *Xb = nullptr;

    // Outside the visible area: the counter behind the progress frames and the timers.
    UserControl1 *Bar = nullptr;
    QTimer *tmrStat = nullptr; // the ticker, 100 ms
    QTimer *Timer2 = nullptr;  // the progress frames, 20 ms
    QTimer *Timer1 = nullptr;  // no action

    // Dragging the window by its background.
    int Dragging = 0;
    int GrabX = 0; // twips inside Picture1
    int GrabY = 0;

    // One step of each timer (also driven directly by tests). The progress timer runs only while
    // its steps change something: a new target or new pictures start it again.
    void tmrStat_Timer();
    void Timer2_Timer();

    // Colours of the title link and the glyph frame.
    static constexpr QRgb LinkNavy = qRgb(3, 16, 103);
    static constexpr QRgb LinkRed = qRgb(255, 6, 6);
    static constexpr QRgb FrameWhite = qRgb(255, 255, 255);
    static constexpr QRgb FrameLightBlue = qRgb(169, 230, 250);
    static QColor framePressedColour();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildElements();
    void load();
    void showLook(PictureBox *element, const QPixmap &stored);
    void normalBackgroundIfNeeded();
    void setLinkColour(QRgb colour);
    void moveWindow();
    void openRecordShop();
    void showHistory();
    void showMenu();
    void applyTitleRule();
    void progressStep();
    void mouseMoved(QObject *element);
    void mousePressed(QObject *element, const QMouseEvent *event);
    void mouseReleased(QObject *element, const QMouseEvent *event);

    EngineAccess m_engine;
    std::unique_ptr<Player> m_flash;
    QString m_shopAddress;
    StoredLooks m_looks;
    std::function<void(const QUrl &)> m_openUrl;
    std::function<void()> m_endProgram;
    QPointer<QMessageBox> m_notice;
};

} // namespace kivaro
