#include "engine/form2.h"

#include "engine/mainwindowinterface.h"
#include "engine/pagereader.h"
#include "engine/playlistfile.h"
#include "engine/protocol.h"
#include "engine/recentlist.h"
#include "engine/ytdlpsearch.h"
#include "platform/events.h"
#include "platform/player.h"
#include "platform/socket.h"
#include "platform/tag.h"
#include "platform/textdecoding.h"
#include "platform/trace.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <limits>

namespace kivaro {

namespace {

constexpr char16_t DoubleQuote = u'"';
const QLatin1String ResultMarker("a href=\"/watch?v=");
const QLatin1String PlayerMarker("var fo = new SWFObject(\"/player2.swf?video_id=");
const QLatin1String VideoPagePath("/watch?v=");
const QLatin1String PlayerPath("/player2.swf?video_id=");

} // namespace

Form2::Form2(const Settings &settings, MainWindowAccess mainWindow, QWidget *parent)
    : QWidget(parent)
    , m_mainWindow(std::move(mainWindow))
    , m_siteAddress(settings.siteAddress())
    , m_neutralAddress(Settings::neutralAddress())
    , m_productFolder(settings.dataDir)
    , m_remotePort(settings.connectPort())
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Kivaro"));
    buildControls();
    buildMenus();
    Text3->setText(settings.connectHost());
    sckTCP->setConnectTimeout(settings.connectTimeoutMs);
    if (settings.backend == Settings::Backend::YtDlp) {
        ytDlp = new YtDlpSearch(settings.ytDlp, this);
        connect(ytDlp, &YtDlpSearch::identified, this, [this] { writeProgress(protocol::ProgressVideoPage); });
        connect(ytDlp, &YtDlpSearch::found, this, [this](const QString &address, const QString &title) {
            // Without a title the title link names what was searched for, as for a page without one.
            startVideo(address, title.isEmpty() ? Text4->text() : title);
        });
        connect(ytDlp, &YtDlpSearch::nothingFound, this, &Form2::noMusicFound);
        connect(ytDlp, &YtDlpSearch::failed, this, &Form2::searchFailed);
    }
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    auto textField = [this](const char *name) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QLatin1String(name));
        // A text field of the engine holds whatever it is given, however long.
        field->setMaxLength(std::numeric_limits<int>::max());
        return field;
    };
    Text4 = textField("Text4");
    Text2 = textField("Text2");
    Text2->setText(QStringLiteral("http://"));
    Text3 = textField("Text3");

    sckTCP = new Socket(this);
    sckTCP->setObjectName(QStringLiteral("sckTCP"));
    connect(sckTCP, &Socket::dataArrival, this, &Form2::sckTCP_DataArrival);
    connect(sckTCP, &Socket::remoteClosed, this, &Form2::sckTCP_Close);

    auto marker = [this](const char *name, const QString &caption) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        setTag(label, QString(DoubleQuote));
        return label;
    };
    Label3 = marker("Label3", ResultMarker);
    Label4 = marker("Label4", PlayerMarker);

    Command1 = new QPushButton(tr("Get It"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, [this] { fetchOperation(); });
    Command2 = new QPushButton(tr("Play"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command2, &QPushButton::clicked, this, &Form2::searchOperation);

    // The window is never shown to users; a plain layout keeps it readable when debugging.
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Host:"), this), 0, 0);
    layout->addWidget(Text3, 0, 1);
    layout->addWidget(new QLabel(tr("URL:"), this), 0, 2);
    layout->addWidget(Text2, 0, 3);
    layout->addWidget(Command1, 0, 4);
    layout->addWidget(Text4, 1, 0, 1, 4);
    layout->addWidget(Command2, 1, 4);
    layout->addWidget(Label3, 2, 0, 1, 5);
    layout->addWidget(Label4, 3, 0, 1, 5);
}

void Form2::buildMenus()
{
    auto action = [this](QMenu *menu, const char *name, const QString &text) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    auto separator = [](QMenu *menu, const char *name) {
        QAction *a = menu->addSeparator();
        a->setObjectName(QLatin1String(name));
        return a;
    };

    mnumnu = new QMenu(tr("Menu"), this);
    mnumnu->setObjectName(QStringLiteral("mnumnu"));
    mnuLoadH = action(mnumnu, "mnuLoadH", tr("Load Playlist"));
    mnusaveH = action(mnumnu, "mnusaveH", tr("Save Playlist"));
    lin1 = separator(mnumnu, "lin1");
    StpStream = action(mnumnu, "StpStream", tr("Stop Streaming"));
    mnuSkin = action(mnumnu, "mnuSkin", tr("Choose Skin"));
    connect(mnuLoadH, &QAction::triggered, this, &Form2::mnuLoadH_Click);
    connect(mnusaveH, &QAction::triggered, this, &Form2::mnusaveH_Click);
    connect(StpStream, &QAction::triggered, this, &Form2::StpStream_Click);
    connect(mnuSkin, &QAction::triggered, this, [this] { m_mainWindow().showSkinChooser(); });

    voorb = new QMenu(this);
    voorb->setObjectName(QStringLiteral("voorb"));
    Addplay = action(voorb, "Addplay", tr("Add to playlist"));
    lin2 = separator(voorb, "lin2");
    for (int slot = 0; slot < int(vb.size()); ++slot) {
        vb[slot] = voorb->addAction(QString());
        vb[slot]->setObjectName(RecentList::slotName(slot));
        connect(vb[slot], &QAction::triggered, this, [this, slot] { vb_Click(slot); });
    }
    recentList = new RecentList(vb, m_mainWindow, this);
    // The title as the main window shows it, possibly shortened.
    connect(Addplay, &QAction::triggered, this, [this] { recentList->Add(m_mainWindow().titleCaption()); });
}

QString Form2::fetchStage() const
{
    return tag(sckTCP);
}

void Form2::setConnectTimeout(int milliseconds)
{
    sckTCP->setConnectTimeout(milliseconds);
}

void Form2::writeProgress(const QString &value)
{
    setWindowTitle(value);
}

QString Form2::searchAddress(const QString &siteAddress, const QString &query)
{
    return siteAddress + QLatin1String("/results?search_query=")
        + QString(query).replace(QLatin1Char(' '), QLatin1Char('+'))
        + QLatin1String("+music+video&search=Search");
}

QByteArray Form2::requestText(const QString &address)
{
    // Characters beyond ASCII go out as the UTF-8 bytes the site's own pages use.
    return QByteArrayLiteral("GET ") + address.toUtf8()
        + QByteArrayLiteral(" HTTP/1.0\r\nAccept: */*\r\nAccept: text/html\r\n\r\n");
}

void Form2::Play(const QString &query)
{
    m_mainWindow().flash().setMovie(m_neutralAddress);
    Q_EMIT playerAddressChanged(m_neutralAddress);
    Text4->setText(query);
    if (ytDlp) {
        writeProgress(protocol::ProgressFetchSent);
        ytDlp->search(query);
        return;
    }
    searchOperation();
}

void Form2::searchOperation()
{
    Text2->setText(searchAddress(m_siteAddress, Text4->text()));
    setTag(sckTCP, QString());
    QPointer<Form2> self(this);
    const FetchResult result = fetchOperation();
    if (!self || result == FetchResult::Superseded)
        return; // the newer search owns the progress value now
    writeProgress(protocol::ProgressSearchPage);
}

Form2::FetchResult Form2::fetchOperation()
{
    Text1.clear();
    sckTCP->close();
    sckTCP->setRemoteHost(Text3->text());
    sckTCP->setRemotePort(m_remotePort);
    qCInfo(lcEngine).noquote()
        << QStringLiteral("fetch %1 from %2:%3").arg(Text2->text(), Text3->text()).arg(m_remotePort);
    sckTCP->connectToRemote();
    const quint64 connection = sckTCP->connectionSerial();

    // Wait for the connection, sleeping on the event loop; the main window stays alive meanwhile.
    QPointer<Form2> self(this);
    for (;;) {
        if (sckTCP->connectionSerial() != connection || sckTCP->state() == Socket::Closed)
            return FetchResult::Superseded;
        if (sckTCP->state() == Socket::Connected)
            break;
        if (sckTCP->state() == Socket::Closing) {
            // The server closed before the request could go out, perhaps in the very pass that
            // connected: its close has been read as an empty page and the user told so.
            qCInfo(lcEngine).noquote() << QStringLiteral("closed by the server before the request");
            return FetchResult::Failed;
        }
        if (sckTCP->state() == Socket::Error) {
            const QString reason = sckTCP->errorString();
            qCInfo(lcEngine).noquote() << QStringLiteral("connect failed: %1").arg(reason);
            m_mainWindow().showNotice(tr("Cannot reach the music site %1:%2 (%3)")
                                          .arg(Text3->text())
                                          .arg(m_remotePort)
                                          .arg(reason));
            return FetchResult::Failed;
        }
        ++m_connectionWaits;
        letEventsRun(EventWait::Block);
        if (!self)
            return FetchResult::Superseded;
        --m_connectionWaits;
    }

    // From here to the progress value nothing else may run: no response can arrive before the
    // request has been sent.
    sckTCP->sendData(requestText(Text2->text()));
    writeProgress(protocol::ProgressFetchSent);
    return FetchResult::Sent;
}

void Form2::sckTCP_DataArrival(qint64 /*bytesTotal*/)
{
    if (Text1.append(sckTCP->takeData()))
        return;
    // No page is this long: the server does not stop. Reading on would hand it the memory.
    qCInfo(lcEngine).noquote() << QStringLiteral("page longer than %1 bytes: connection dropped").arg(PageBuffer::MaxBytes);
    sckTCP->close();
    noMusicFound();
}

void Form2::sckTCP_Close()
{
    if (tag(sckTCP).isEmpty())
        readSearchPage();
    else
        readVideoPage();
}

void Form2::noMusicFound()
{
    setTag(sckTCP, QString());
    writeProgress(protocol::ProgressSearchPage);
    qCInfo(lcEngine).noquote() << QStringLiteral("no music found");
    m_mainWindow().showNotice(tr("No Music Found!"));
}

void Form2::readSearchPage()
{
    setTag(sckTCP, protocol::FetchStageVideoPage);
    const std::optional<QString> identifier = cutFirstVideo(Text1.bytes(), Label3->text(), tag(Label3));
    qCInfo(lcEngine).noquote() << QStringLiteral("search page read: %1 bytes").arg(Text1.bytes().size());
    if (!identifier) {
        noMusicFound();
        return;
    }
    m_videoIdentifier = *identifier;
    qCInfo(lcEngine).noquote() << QStringLiteral("first video: %1").arg(m_videoIdentifier);

    // Events run twice before the video's page is fetched. A search the user starts meanwhile
    // owns the engine from then on; this reading then has nothing left to do.
    const quint64 connection = sckTCP->connectionSerial();
    QPointer<Form2> self(this);
    auto superseded = [&] { return !self || sckTCP->connectionSerial() != connection; };

    letEventsRun();
    if (superseded())
        return;
    Text2->setText(m_siteAddress + VideoPagePath + m_videoIdentifier);
    letEventsRun();
    if (superseded())
        return;
    const FetchResult result = fetchOperation();
    if (!self || result == FetchResult::Superseded)
        return;
    if (result == FetchResult::Failed) {
        setTag(sckTCP, QString());
        writeProgress(protocol::ProgressSearchPage);
        return;
    }
    writeProgress(protocol::ProgressVideoPage);
}

void Form2::readVideoPage()
{
    setTag(sckTCP, QString());
    const std::optional<VideoPage> page = cutVideoPage(Text1.bytes(), Label4->text(), tag(Label4));
    qCInfo(lcEngine).noquote() << QStringLiteral("video page read: %1 bytes").arg(Text1.bytes().size());
    if (!page) {
        noMusicFound();
        return;
    }
    const QString address = m_siteAddress + PlayerPath + page->parameters;
    // A page without a title still plays; the title link then names what was searched for.
    const QString title = page->title.value_or(Text4->text());
    startVideo(address, title);
}

void Form2::startVideo(const QString &address, const QString &foundTitle)
{
    // One rule for the titles of either backend, before anything shows, keeps or logs them.
    const QString title = oneLineText(foundTitle);
    MainWindowInterface &main = m_mainWindow();
    qCInfo(lcEngine).noquote() << QStringLiteral("now playing: %1").arg(address);
    main.flash().setMovie(address);
    Q_EMIT playerAddressChanged(address);
    writeProgress(protocol::ProgressPlaying);
    main.setSearchResultFlag(protocol::SearchResultFound);
    qCInfo(lcEngine).noquote() << QStringLiteral("title: %1").arg(title);
    main.setTitleCaption(title);
    Q_EMIT titleChanged(title);
}

void Form2::searchFailed(const QString &reason)
{
    writeProgress(protocol::ProgressSearchPage);
    m_mainWindow().showNotice(reason);
}

void Form2::StpStream_Click()
{
    m_mainWindow().flash().setMovie(m_neutralAddress);
    Q_EMIT playerAddressChanged(m_neutralAddress);
}

void Form2::vb_Click(int slot)
{
    const QString query = recentList->query(slot);
    const QString caption = recentList->caption(slot);
    QPointer<Form2> self(this);
    Play(query);
    if (!self)
        return;
    MainWindowInterface &main = m_mainWindow();
    main.setSearchText(caption);
    main.focusSearchBox();
}

QString Form2::playlistPath() const
{
    return PlaylistFile(m_productFolder).path();
}

void Form2::mnusaveH_Click()
{
    // A failed save tells the user nothing; the previous playlist stays as it was.
    QString error;
    if (recentList->save(m_productFolder, &error))
        qCInfo(lcEngine).noquote() << QStringLiteral("playlist saved: %1 entries in %2")
                                          .arg(recentList->count())
                                          .arg(playlistPath());
    else
        qCInfo(lcEngine).noquote() << QStringLiteral("playlist not saved: %1").arg(error);
}

void Form2::mnuLoadH_Click()
{
    qCInfo(lcEngine).noquote() << QStringLiteral("playlist read from %1").arg(playlistPath());
    recentList->load(m_productFolder);
}

void Form2::closeEvent(QCloseEvent *event)
{
    sckTCP->close();
    event->accept();
}

} // namespace kivaro
