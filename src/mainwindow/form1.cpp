#include "mainwindow/form1.h"

#include "controls/progressbar/usercontrol1.h"
#include "engine/form2.h"
#include "engine/recentlist.h"
#include "kivaroassets.h"
#include "mainwindow/accessibleelement.h"
#include "mainwindow/form1layout.h"
#include "mainwindow/form4.h"
#include "mainwindow/picturebox.h"
#include "mainwindow/tickerline.h"
#include "platform/devicepicture.h"
#include "platform/events.h"
#include "platform/player.h"
#include "platform/propertybag.h"
#include "platform/systemcolors.h"
#include "platform/tag.h"
#include "platform/transparentcolor.h"
#include "platform/windowlayout.h"

#include <QAction>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

namespace kivaro {

namespace {

using namespace form1layout;

// A title wider than this is shortened for display.
constexpr int TitleMaxWidth = 200;
constexpr int TitleShortLength = 30;
// A caption of this length is the shortened form and does not replace the full title.
constexpr int ShortenedTitleLength = TitleShortLength + 3;

constexpr int TickerIntervalMs = 100;
constexpr int ProgressIntervalMs = 20;
// Frame k shows from counter 3.75 x (k + 1), that is 4, 8, 12, 15, 19, 23, 27 and 30.
constexpr double CounterPerFrame = 3.75;
constexpr int NoFrame = ProgressFrameCount; // P(8) holds no picture
constexpr int ProgressCounterMax = 30;
constexpr quint32 BarColour = 0x00A85E33;

constexpr QRgb TransparentRed = qRgb(255, 0, 0);
constexpr quint32 TransparentColourValue = 255; // red, as the window's colour key
constexpr QRgb TickerWhite = qRgb(255, 255, 255);

// "Arial 8.25 pt" and "Arial 6.75 pt" at the 96 dots per inch the design was drawn for.
constexpr int Arial825 = 11;
constexpr int Arial675 = 9;

// A built-in picture; from its "@2x" twin when a screen shows more than one device pixel to the
// logical pixel.
QPixmap stored(const QString &name)
{
    const QString path = QStringLiteral(":/skin/") + name + QStringLiteral(".png");
    if (screensWantTwinsAt2x()) {
        const QPixmap sharp(twinAt2x(path));
        if (!sharp.isNull())
            return sharp;
    }
    return QPixmap(path);
}

QPixmap stored(const char *name)
{
    return stored(QLatin1String(name));
}

} // namespace

StoredLooks StoredLooks::defaults()
{
    initAssets();
    StoredLooks looks;
    looks.IMn = stored("IMn");
    looks.IMd = stored("IMd");
    looks.ImGo = stored("ImGo");
    looks.En = stored("En");
    looks.Eo = stored("Eo");
    looks.Ed = stored("Ed");
    looks.Dn = stored("Dn");
    looks.Doo = stored("Doo");
    looks.Dd = stored("Dd");
    looks.Xn = stored("Xn");
    looks.Xo = stored("Xo");
    looks.Xd = stored("Xd");
    for (int k = 0; k < NoFrame; ++k)
        looks.P[k] = stored(QStringLiteral("P%1").arg(k));
    looks.historyGlyph = stored("history");
    looks.handCursor = QPixmap(QStringLiteral(":/cursors/pointing-hand-hotspot-5-0.png"));
    return looks;
}

QString Form1::tickerCaption()
{
    const QString spaces(1, QLatin1Char(' '));
    return spaces.repeated(66) + QStringLiteral("Welcome to kivaro!") + spaces.repeated(28)
        + QStringLiteral("Why download illigaly, when you can stream it legally??") + spaces.repeated(25)
        + QStringLiteral("Copyright \u00a9 2026 The Kivaro developers") + spaces.repeated(53);
}

QColor Form1::framePressedColour()
{
    // A system colour, translated like every other one.
    return QColor(toQRgb(TranslateColor(FramePressedColourValue)));
}

Form1::Form1(const Settings &settings, EngineAccess engine, std::unique_ptr<Player> flash,
             ProgramEnder endProgram, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_engine(std::move(engine))
    , m_flash(std::move(flash))
    , m_shopAddress(settings.shopAddress())
    , m_skinFolders(settings.skinFolders())
    , m_looks(StoredLooks::defaults())
    , m_openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
    , m_endProgram(std::move(endProgram))
{
    setObjectName(QStringLiteral("Form1"));
    // Described for screen readers before anything about it changes: Qt makes its description of
    // a widget at the first change it reports and keeps it.
    new AccessibleElement(this, QAccessible::Window, [this] { return windowTitle(); });
    setWindowTitle(QStringLiteral("Kivaro"));

    // The progress frames follow the engine from the window's creation on; they step while the
    // window is on screen.
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(ProgressIntervalMs);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    tmrStat = new QTimer(this);
    tmrStat->setObjectName(QStringLiteral("tmrStat"));
    tmrStat->setInterval(TickerIntervalMs);
    connect(tmrStat, &QTimer::timeout, this, &Form1::tmrStat_Timer);

    buildElements();
    load();
}

Form1::~Form1()
{
    // The chooser is a child that goes after the timers; closed here, its end still finds them.
    delete m_skinChooser.data();
}

void Form1::buildElements()
{
    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(QRect(QPoint(0, 0), form1layout::Window));

    Shape1 = new ShapeBox(Picture1);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(HistoryFrame);
    Shape1->setFillColour(QColor(FrameWhite));
    // Movements over the frame outside the glyph belong to the background.
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Image2 = new PictureBox(Picture1, true);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(HistoryGlyph);
    Image2->setPicture(m_looks.historyGlyph);

    Text1 = new QLineEdit(Picture1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(SearchBox);
    Text1->setFont(designFont(Arial825));
    Text1->setFrame(false);
    Text1->setTextMargins(0, 0, 0, 0);
    Text1->setMouseTracking(true);
    Text1->setText(DefaultQuery());

    // The search button takes the size of each progress frame it shows, as the buttons do.
    Image1 = new PictureBox(Picture1, true);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(SearchButton);

    auto label = [this](const char *name, int pixelSize, bool underline, QRgb colour) {
        auto *l = new QLabel(Picture1);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText); // titles come from the network: never markup
        l->setFont(designFont(pixelSize, false, underline));
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, QColor(colour));
        l->setPalette(palette);
        l->setMouseTracking(true);
        l->setMargin(0);
        l->setIndent(0);
        return l;
    };
    Label1 = label("Label1", Arial825, false, TickerWhite);
    Label1->setText(tr("Now Playing:"));
    Label1->move(NowPlayingLabel);
    Label1->adjustSize();

    Label2 = label("Label2", Arial825, true, LinkNavy);
    // For a screen reader a link, read as the title it looks up (the whole title, also where the
    // caption shortens it); described before its first caption, which Qt would describe otherwise.
    new AccessibleElement(
        Label2, QAccessible::Link, [this] { return fullTitle().isEmpty() ? Label2->text() : fullTitle(); },
        [this] { activate(Label2); });
    Label2->move(TitleLink);
    if (!m_looks.handCursor.isNull())
        Label2->setCursor(QCursor(m_looks.handCursor, PointingHandHotSpot.x(), PointingHandHotSpot.y()));
    else
        Label2->setCursor(Qt::PointingHandCursor);
    // The design caption stands until a title is written: it is no title, so the full title behind
    // the link stays empty and a click on "?" looks nothing up.
    Label2->setText(QStringLiteral("?"));
    Label2->adjustSize();

    // A title up to 200 pixels wide reaches under the history glyph, which must stay clickable.
    Shape1->raise();
    Image2->raise();

    lblStat = new TickerLine(Picture1);
    lblStat->setObjectName(QStringLiteral("lblStat"));
    lblStat->setFont(designFont(Arial675));
    QPalette tickerPalette = lblStat->palette();
    tickerPalette.setColor(QPalette::WindowText, QColor(TickerWhite));
    lblStat->setPalette(tickerPalette);
    lblStat->setMouseTracking(true);
    lblStat->setMargin(0);
    lblStat->setIndent(0);
    lblStat->setGeometry(Ticker);

    auto button = [this](const char *name, const QRect &geometry, const QPixmap &normal) {
        auto *b = new PictureBox(Picture1, true);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(geometry);
        b->setPicture(normal);
        return b;
    };
    Eb = button("Eb", MenuButton, m_looks.En);
    Db = button("Db", MinimiseButton, m_looks.Dn);
    Xb = button("Xb", ExitButton, m_looks.Xn);

    Bar = new UserControl1(this);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setVisible(false); // only its value is used, as the progress counter
    // The counter's stored settings; everything else keeps its default.
    PropertyBag stored;
    stored.write(QStringLiteral("Scrolling"), 0);
    stored.write(QStringLiteral("BrushStyle"), 0);
    stored.write(QStringLiteral("Color"), BarColour);
    stored.write(QStringLiteral("Max"), ProgressCounterMax);
    Bar->ReadProperties(stored);

    for (PictureBox *element : { Picture1, Image1, Image2, Eb, Db, Xb }) {
        element->setHoleColour(TransparentRed);
        connect(element, &PictureBox::lookChanged, this, [this] { updateTransparentColor(this); });
    }

    describeForAssistiveTechnology();

    for (QWidget *element : {static_cast<QWidget *>(Picture1), static_cast<QWidget *>(Text1),
                             static_cast<QWidget *>(Image1), static_cast<QWidget *>(Image2),
                             static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2),
                             static_cast<QWidget *>(lblStat), static_cast<QWidget *>(Eb), static_cast<QWidget *>(Db),
                             static_cast<QWidget *>(Xb)}) {
        element->installEventFilter(this);
    }
}

void Form1::describeForAssistiveTechnology()
{
    // What a screen reader tells and does with the elements that are pictures: each button does
    // what a click on it does. The names are asked for when read, so they follow the language.
    const auto button = [this](PictureBox *element, QAccessible::Role role, const char *name) {
        new AccessibleElement(
            element, role, [name] { return tr(name); }, [this, element] { activate(element); });
    };
    button(Image1, QAccessible::Button, QT_TR_NOOP("Search"));
    button(Image2, QAccessible::ButtonMenu, QT_TR_NOOP("Recent searches"));
    button(Eb, QAccessible::ButtonMenu, QT_TR_NOOP("Menu"));
    button(Db, QAccessible::Button, QT_TR_NOOP("Minimise"));
    button(Xb, QAccessible::Button, QT_TR_NOOP("Exit"));
    Text1->setAccessibleName(tr("Artist or song"));
    // The ticker is read as its whole text; scrolling it is no news for a screen reader.
    lblStat->setAccessibleName(tickerCaption().simplified());
}

void Form1::load()
{
    setFixedSize(form1layout::Window);
    Picture1->setBackgroundColour(QColor(TransparentRed));
    // The background box fills all of itself: what lies beneath it is never drawn.
    Picture1->setAttribute(Qt::WA_OpaquePaintEvent);
    Picture1->setPicture(m_looks.IMn);
    Text1->setSelection(0, int(Text1->text().size()));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(TransparentRed));
    setPalette(palette);
    setAutoFillBackground(true);
    SetTransparentColor(this, TransparentColourValue);

    // The ticker text is the first caption and one more space; the caption, which differs from it
    // only by that trailing space, shows as the whole text does. The count starts at the caption's
    // length, and the first step is due one interval after load.
    const QString caption = tickerCaption();
    lblStat->setText(caption + QLatin1Char(' '));
    m_tickerLength = caption.size() + 1;
    lblStat->showLast(m_tickerLength);
    m_tickerCount = caption.size();
    m_clock.start();
    m_tickerDue = TickerIntervalMs;

    centreOnScreen(this);
}

void Form1::setLooks(const StoredLooks &looks)
{
    m_looks = looks;
    // The frame on show may be one of the pictures just replaced.
    wakeFrames();
}

// ---- the shared fields ----

QString Form1::searchResultFlag() const
{
    return tag(Picture1);
}

void Form1::setSearchResultFlag(const QString &flag)
{
    setTag(Picture1, flag);
}

QString Form1::titleCaption() const
{
    return Label2->text();
}

void Form1::setTitleCaption(const QString &title)
{
    if (Label2->text() == title)
        return; // a caption set to what it already is does not change
    Label2->setText(title);
    applyTitleRule();
}

QString Form1::fullTitle() const
{
    return tag(Label2);
}

void Form1::applyTitleRule()
{
    const QString caption = Label2->text();
    if (caption.size() != ShortenedTitleLength)
        setTag(Label2, caption);
    Label2->adjustSize();
    if (Label2->width() > TitleMaxWidth)
        setTitleCaption(caption.left(TitleShortLength) + QStringLiteral("..."));
}

QString Form1::searchText() const
{
    return Text1->text();
}

void Form1::setSearchText(const QString &text)
{
    Text1->setText(text);
}

void Form1::focusSearchBox()
{
    activateWindow();
    // A box that has the focus already (as after choosing a recent entry from the popup, which
    // hands the focus back before the entry runs) gets no focus event: select it here.
    if (Text1->hasFocus())
        Text1->selectAll();
    else
        Text1->setFocus(Qt::OtherFocusReason);
}

void Form1::Add(const QString &title)
{
    // The recent list is the engine's; this is the design's entry point to it.
    m_engine().recentList->Add(title);
}

void Form1::showSkinChooser()
{
    if (!m_skinChooser) {
        m_skinChooser = new Form4(m_skinFolders, m_looks, this);
        // The chooser writes the stored pictures itself; the resting frame timer steps again so
        // the next tick shows the skin's own frame.
        connect(m_skinChooser, &QObject::destroyed, this, &Form1::wakeFrames);
    }
    m_skinChooser->show();
    m_skinChooser->raise();
    m_skinChooser->activateWindow();
}

void Form1::showNotice(const QString &text)
{
    if (!m_notice) {
        m_notice = new QMessageBox(QMessageBox::Information, windowTitle(), QString(), QMessageBox::Ok, this);
        m_notice->setObjectName(QStringLiteral("notice"));
        m_notice->setTextFormat(Qt::PlainText);
        m_notice->setModal(false);
        m_notice->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_notice->setText(text);
    m_notice->show();
    m_notice->raise();
}

// ---- searching and the title link ----

void Form1::startSearch()
{
    Picture1->setPicture(m_looks.IMn);
    if (Text1->text().isEmpty())
        return;
    QPointer<Form1> self(this);
    m_engine().Play(Text1->text());
    if (!self)
        return;
    setSearchResultFlag(QString());
    Text1->setFocus(Qt::OtherFocusReason);
}

QString Form1::shopSearchAddress(const QString &shopAddress, const QString &fullTitle)
{
    if (fullTitle.isEmpty())
        return {};
    const QString artist = QString(fullTitle).replace(QLatin1Char(' '), QLatin1Char('+')).section(QLatin1Char('-'), 0, 0);
    return shopAddress + QStringLiteral("/search/default.asp?SearchType=all&searchstring=") + artist
        + QStringLiteral("&av=2&buttonsearchfast.x=0&buttonsearchfast.y=0");
}

void Form1::openRecordShop()
{
    const QString address = shopSearchAddress(m_shopAddress, fullTitle());
    if (address.isEmpty())
        return; // no title yet: nothing to look for
    m_openUrl(QUrl(address, QUrl::TolerantMode));
}

// ---- the mouse ----

QPoint Form1::dragPosition(const QPoint &pointer, int grabX, int grabY)
{
    return {pointer.x() * TwipsPerPixel - grabX, pointer.y() * TwipsPerPixel - grabY};
}

void Form1::showLook(PictureBox *element, const QPixmap &picture)
{
    element->setPicture(picture);
}

void Form1::normalBackgroundIfNeeded()
{
    if (!Picture1->shows(m_looks.IMn))
        Picture1->setPicture(m_looks.IMn);
}

void Form1::setLinkColour(QRgb colour)
{
    QPalette palette = Label2->palette();
    if (palette.color(QPalette::WindowText) == QColor(colour))
        return;
    palette.setColor(QPalette::WindowText, QColor(colour));
    Label2->setPalette(palette);
}

void Form1::moveWindow()
{
    const QPoint twips = dragPosition(QCursor::pos(), GrabX, GrabY);
    move(twips.x() / TwipsPerPixel, twips.y() / TwipsPerPixel);
}

void Form1::mouseMoved(QObject *element)
{
    if (element == Eb) {
        showLook(Eb, m_looks.Eo);
        normalBackgroundIfNeeded();
        showLook(Xb, m_looks.Xn);
        setLinkColour(LinkNavy);
        showLook(Db, m_looks.Dn);
        Shape1->setFillColour(QColor(FrameWhite));
    } else if (element == Db) {
        Picture1->setPicture(m_looks.IMn);
        showLook(Eb, m_looks.En);
        showLook(Db, m_looks.Doo);
    } else if (element == Xb) {
        showLook(Xb, m_looks.Xo);
        Picture1->setPicture(m_looks.IMn);
    } else if (element == Image1) {
        showLook(Eb, m_looks.En);
        Picture1->setPicture(m_looks.ImGo);
        showLook(Xb, m_looks.Xn);
        showLook(Db, m_looks.Dn);
    } else if (element == Image2) {
        Shape1->setFillColour(QColor(FrameLightBlue));
    } else if (element == Label2) {
        setLinkColour(LinkRed);
        showLook(Eb, m_looks.En);
    } else if (element == lblStat) {
        showLook(Eb, m_looks.En);
        normalBackgroundIfNeeded();
        showLook(Xb, m_looks.Xn);
        showLook(Db, m_looks.Dn);
    } else if (element == Text1) {
        normalBackgroundIfNeeded();
        showLook(Xb, m_looks.Xn);
        showLook(Db, m_looks.Dn);
    } else if (element == Picture1) {
        showLook(Eb, m_looks.En);
        normalBackgroundIfNeeded();
        showLook(Xb, m_looks.Xn);
        setLinkColour(LinkNavy);
        showLook(Db, m_looks.Dn);
        Shape1->setFillColour(QColor(FrameWhite));
        if (Dragging == 1)
            moveWindow();
    }
}

void Form1::mousePressed(QObject *element, const QMouseEvent *event)
{
    if (element == Eb) {
        showLook(Eb, m_looks.Ed);
    } else if (element == Db) {
        showLook(Db, m_looks.Dd);
    } else if (element == Xb) {
        showLook(Xb, m_looks.Xd);
    } else if (element == Image1) {
        Picture1->setPicture(m_looks.IMd);
    } else if (element == Image2) {
        Shape1->setFillColour(framePressedColour());
    } else if (element == Picture1) {
        Dragging = 1;
        const QPoint at = event->position().toPoint();
        GrabX = at.x() * TwipsPerPixel;
        GrabY = at.y() * TwipsPerPixel;
        // Where the desktop does not let programs place their windows, it moves them itself.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle())
            windowHandle()->startSystemMove();
    }
}

void Form1::mouseReleased(QObject *element, const QMouseEvent *event)
{
    auto *widget = static_cast<QWidget *>(element);
    // A double click is one click: the release that ends it clicks nothing more.
    const bool endsDoubleClick = m_doubleClicked == element;
    m_doubleClicked = nullptr;
    const bool clicked = !endsDoubleClick && widget->rect().contains(event->position().toPoint());
    if (element == Image2)
        Shape1->setFillColour(QColor(FrameLightBlue));
    if (element == Picture1)
        Dragging = 0;
    // The release acts for the element it was pressed on wherever it happens, except on the
    // history glyph and the link, which want a click.
    if (clicked || (element != Image2 && element != Label2))
        activate(widget, QCursor::pos());
}

void Form1::activate(QWidget *element, std::optional<QPoint> popupAt)
{
    // A menu opened other than by the mouse (by a screen reader) opens below its button.
    const QPoint at = popupAt.value_or(element->mapToGlobal(QPoint(0, element->height())));
    if (element == Eb) {
        showLook(Eb, m_looks.Eo);
        showMenu(at);
    } else if (element == Db) {
        showMinimized();
        showLook(Db, m_looks.Dn);
    } else if (element == Xb) {
        showLook(Xb, m_looks.Xo);
        m_endProgram();
    } else if (element == Image1) {
        Picture1->setPicture(m_looks.IMn);
        startSearch();
    } else if (element == Image2) {
        showHistory(at);
    } else if (element == Label2) {
        openRecordShop();
    }
}

void Form1::showMenu(const QPoint &at)
{
    m_engine().mnumnu->exec(at);
}

void Form1::showHistory(const QPoint &at)
{
    QPointer<Form1> self(this);
    m_engine().voorb->exec(at);
    if (self)
        Picture1->setPicture(m_looks.IMn);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow) {
        if (event->type() == QEvent::Expose)
            followScreenPresence();
        return false;
    }
    const bool searchBox = watched == Text1;
    switch (event->type()) {
    case QEvent::MouseMove:
        mouseMoved(watched);
        return !searchBox;
    case QEvent::MouseButtonPress:
        mousePressed(watched, static_cast<QMouseEvent *>(event));
        return !searchBox;
    case QEvent::MouseButtonRelease:
        mouseReleased(watched, static_cast<QMouseEvent *>(event));
        return !searchBox;
    case QEvent::MouseButtonDblClick:
        // The second press of a double click is no press of its own; its release still comes.
        m_doubleClicked = watched;
        return !searchBox;
    case QEvent::KeyPress:
        if (searchBox) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                startSearch();
                return true;
            }
        }
        return false;
    case QEvent::FocusIn:
        if (searchBox) {
            // Typing replaces the previous query. A click places the caret after the focus
            // arrives, so the selection is made once the click is through.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason) {
                QTimer::singleShot(0, Text1, [box = QPointer<QLineEdit>(Text1)] {
                    if (box)
                        box->selectAll();
                });
            } else {
                Text1->selectAll();
            }
        }
        return false;
    default:
        return false;
    }
}

// ---- the timers ----

void Form1::tmrStat_Timer()
{
    // A timer started for what was left of an interval goes on at the whole interval.
    if (tmrStat->isActive() && tmrStat->interval() != TickerIntervalMs)
        tmrStat->setInterval(TickerIntervalMs);
    tickerSteps(1);
}

void Form1::tickerSteps(qint64 steps)
{
    if (steps <= 0)
        return;
    // Each step shows the last `count` characters and counts down; a count run down to 0 shows the
    // whole text. So the shown counts go round the text's length: length, ..., 1, length, ...
    const qint64 first = m_tickerCount == 0 ? m_tickerLength : m_tickerCount;
    const qint64 shown = ((first - steps) % m_tickerLength + m_tickerLength) % m_tickerLength + 1;
    lblStat->showLast(shown);
    m_tickerCount = shown - 1;
}

void Form1::Timer2_Timer()
{
    if (progressStep(m_engine().progressValue()))
        return;
    // A step that changed nothing changes nothing again until the target or the pictures change,
    // so the timer rests until then instead of waking the program fifty times a second.
    Timer2->stop();
    connect(&m_engine(), &QWidget::windowTitleChanged, this, &Form1::wakeFrames, Qt::UniqueConnection);
}

void Form1::wakeFrames()
{
    if (m_onScreen) {
        Timer2->start();
        return;
    }
    // Away from the screen the frames do not wake: the steps the old target would have brought
    // are taken now, at once, and the new one counts from here.
    const qint64 now = m_clock.elapsed();
    catchUpFrames(now);
    m_targetAway = m_engine().progressValue();
}

void Form1::catchUpFrames(qint64 now)
{
    for (; m_framesAt + ProgressIntervalMs <= now; m_framesAt += ProgressIntervalMs) {
        if (!progressStep(m_targetAway)) {
            // Nothing changes again until the target does; the steps keep their rhythm.
            m_framesAt += (now - m_framesAt) / ProgressIntervalMs * ProgressIntervalMs;
            break;
        }
    }
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (windowHandle() != m_watchedWindow) {
        m_watchedWindow = windowHandle();
        if (m_watchedWindow)
            m_watchedWindow->installEventFilter(this);
    }
    followScreenPresence();
}

void Form1::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    followScreenPresence();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        followScreenPresence();
}

void Form1::followScreenPresence()
{
    const bool onScreen = isVisible() && !isMinimized() && windowHandle() && windowHandle()->isExposed();
    if (onScreen == m_onScreen)
        return;
    m_onScreen = onScreen;
    const qint64 now = m_clock.elapsed();
    if (!onScreen) {
        // Nothing is drawn that nobody sees.
        if (tmrStat->isActive())
            m_tickerDue = now + tmrStat->remainingTime();
        tmrStat->stop();
        Timer2->stop();
        m_framesAt = now;
        m_targetAway = m_engine().progressValue();
        connect(&m_engine(), &QWidget::windowTitleChanged, this, &Form1::wakeFrames, Qt::UniqueConnection);
        return;
    }
    // The ticker takes the steps the time away has brought, and keeps its rhythm.
    const qint64 late = now - m_tickerDue;
    if (late >= 0) {
        tickerSteps(1 + late / TickerIntervalMs);
        tmrStat->start(int(TickerIntervalMs - late % TickerIntervalMs));
    } else {
        tmrStat->start(int(-late));
    }
    // The frames show what they would have shown (before the first show, all the while at the
    // target of now); the timer rests again after a step that changes nothing.
    if (m_targetAway.isNull())
        m_targetAway = m_engine().progressValue();
    catchUpFrames(now);
    Timer2->start();
}

bool Form1::progressStep(const QString &progressValue)
{
    const int before = Bar->Value();
    const qint64 frame = Image1->picture().cacheKey();
    progressStepOf(progressValue);
    return Bar->Value() != before || Image1->picture().cacheKey() != frame;
}

void Form1::progressStepOf(const QString &progressValue)
{
    // A target that is not a number (the engine's caption before its first search) makes both
    // comparisons count as met: the counter goes up one and down two.
    bool isNumber = false;
    const int target = progressValue.toInt(&isNumber);
    int counter = Bar->Value();
    if (!isNumber || target > counter) {
        ++counter;
        Bar->setValue(counter);
    }
    if (!isNumber || target < counter) {
        if (counter == 1) {
            Bar->setValue(0);
            return;
        }
        counter -= 2;
        Bar->setValue(counter);
    }
    if (counter == 0) {
        if (!Image1->picture().isNull())
            Image1->setPicture(m_looks.P[NoFrame]);
        return;
    }
    for (int k = NoFrame - 1; k >= 0; --k) {
        if (counter >= CounterPerFrame * (k + 1)) {
            if (!Image1->shows(m_looks.P[k]))
                Image1->setPicture(m_looks.P[k]);
            return;
        }
    }
}

} // namespace kivaro
