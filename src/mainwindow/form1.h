#pragma once

#include "engine/mainwindowinterface.h"
#include "mainwindow/tickerline.h"
#include "platform/settings.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QMessageBox;
class QTimer;
class QWindow;

namespace kivaro {

class Form2;
class Form4;
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
    // Ends the program at once: no further window events, no windows or connections closed first.
    using ProgramEnder = std::function<void()>;

    Form1(const Settings &settings, EngineAccess engine, std::unique_ptr<Player> flash,
          ProgramEnder endProgram, QWidget *parent = nullptr);
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
    // Adds a title to the engine's recent list, with the search box's text as its query, once the
    // last search has found its video.
    void Add(const QString &title);

    // How the desktop is asked to open an address; tests replace it.
    void setUrlOpener(std::function<void(const QUrl &)> opener) { m_openUrl = std::move(opener); }

    StoredLooks &looks() { return m_looks; }
    // Replaces the stored pictures; visible elements show them the next time a handler does.
    void setLooks(const StoredLooks &looks);

    // Visible elements, all inside Picture1.
    PictureBox *Picture1 = nullptr; // background, shows IMn/IMd/ImGo; its tag is the search-result flag
    QLineEdit *Text1 = nullptr; // search box
    PictureBox *Image1 = nullptr; // search button, shows the progress frames
    PictureBox *Image2 = nullptr; // history drop-down glyph: shows the recent list
    ShapeBox *Shape1 = nullptr; // frame behind Image2; its fill shows hover and press
    QLabel *Label1 = nullptr; // "Now Playing:"
    QLabel *Label2 = nullptr; // title link to the record shop; caption shown title, tag full title
    TickerLine *lblStat = nullptr; // ticker line; its text is the whole ticker text, its caption() what shows
    PictureBox *Eb = nullptr; // menu button: shows the engine's "Menu"
    PictureBox *Db = nullptr; // minimise button
    PictureBox *Xb = nullptr; // exit button: ends the program

    // Outside the visible area: the counter behind the progress frames and the timers.
    UserControl1 *Bar = nullptr; // hidden progress bar, only its value used: the progress counter, 0 to 30
    QTimer *tmrStat = nullptr; // the ticker, 100 ms
    QTimer *Timer2 = nullptr; // the progress frames, 20 ms
    // The ticker's count: the number of last characters of the ticker text the next step shows (the
    // whole text after it has run down to 0).
    qsizetype tickerCount() const { return m_tickerCount; }

    // Dragging the window by its background.
    int Dragging = 0; // 1 from a press on Picture1 to its release
    int GrabX = 0; // the press point, twips inside Picture1
    int GrabY = 0;

    // One step of each timer (also driven directly by tests). The progress timer runs only while
    // its steps change something: a new target or new pictures start it again. Both timers run only
    // while the window is on screen (shown, not minimised, exposed); when it returns, the ticker and
    // the frames take at once the steps the time away has brought.
    void tmrStat_Timer();
    void Timer2_Timer();
    // Takes that many ticker steps at once, as the time the window spent away from the screen brings.
    void tickerSteps(qint64 steps);
    // Whether the window is on screen, as the timers last saw it.
    bool timedDisplaysRun() const { return m_onScreen; }

    // Colours of the title link and the glyph frame.
    static constexpr QRgb LinkNavy = qRgb(3, 16, 103);
    static constexpr QRgb LinkRed = qRgb(255, 6, 6);
    static constexpr QRgb FrameWhite = qRgb(255, 255, 255);
    static constexpr QRgb FrameLightBlue = qRgb(169, 230, 250);
    // Pressed: the colour value 2147483651, the high bit marking system colour 3.
    static constexpr quint32 FramePressedColourValue = 2147483651u;
    static QColor framePressedColour();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildElements();
    void load();
    void showLook(PictureBox *element, const QPixmap &stored);
    void normalBackgroundIfNeeded();
    void setLinkColour(QRgb colour);
    void moveWindow();
    void openRecordShop();
    void showHistory(const QPoint &at);
    void showMenu(const QPoint &at);
    // What a click on a picture button or the link does; popups open at popupAt, else below it.
    void activate(QWidget *element, std::optional<QPoint> popupAt = std::nullopt);
    void describeForAssistiveTechnology();
    void applyTitleRule();
    // One progress step against that target; whether it changed the counter or the frame.
    bool progressStep(const QString &progressValue);
    void progressStepOf(const QString &progressValue);
    void catchUpFrames(qint64 now);
    void wakeFrames();
    void followScreenPresence();
    void mouseMoved(QObject *element);
    void mousePressed(QObject *element, const QMouseEvent *event);
    void mouseReleased(QObject *element, const QMouseEvent *event);

    EngineAccess m_engine;
    std::unique_ptr<Player> m_flash;
    QString m_shopAddress;
    QStringList m_skinFolders;
    QPointer<Form4> m_skinChooser;
    StoredLooks m_looks;
    std::function<void(const QUrl &)> m_openUrl;
    ProgramEnder m_endProgram;
    QPointer<QMessageBox> m_notice;
    // The element whose double click the next release ends (compared, never used).
    const QObject *m_doubleClicked = nullptr;

    qsizetype m_tickerCount = 0;
    qsizetype m_tickerLength = 0;
    bool m_onScreen = false;
    // Time since load; while the window is away, the time the next ticker step was due.
    QElapsedTimer m_clock;
    qint64 m_tickerDue = 0;
    // While away: the time up to which the frames have stepped, and the engine's target since then.
    qint64 m_framesAt = 0;
    QString m_targetAway;
    QPointer<QWindow> m_watchedWindow; // whose exposure the timers follow
};

} // namespace kivaro
