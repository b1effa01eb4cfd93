#include "startup/frmsplash.h"

#include "engine/form2.h"
#include "kivaroassets.h"
#include "mainwindow/form1.h"
#include "platform/events.h"
#include "platform/trace.h"
#include "platform/windowlayout.h"
#include "startup/filedownloader.h"
#include "startup/frmupdate.h"
#include "startup/versionfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

namespace kivaro {

namespace {

// The first line of a version file is all that counts; a server that sends more is not read further.
constexpr qint64 VersionReadLimit = 4096;

} // namespace

frmSplash::frmSplash(const Settings &settings, OtherWindows windows, int timer1IntervalMs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_windows(std::move(windows))
    , m_vendorAddress(settings.vendorAddress())
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Kivaro"));
    setFixedSize(PictureSize);

    // The six seconds count from here, not from the moment the splash is seen.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(timer1IntervalMs);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1->start();

    initAssets();
    m_background = QPixmap(QStringLiteral(":/splash.png"));
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, m_background);
    setPalette(palette);
    setAutoFillBackground(true);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(QRect(QPoint(0, 0), PictureSize));

    FD = new FileDownloader(this);
    FD->setObjectName(QStringLiteral("FD"));

    centreOnScreen(this);
}

frmSplash::~frmSplash() = default;

QString frmSplash::versionSource() const
{
    return m_vendorAddress + QStringLiteral("/version.dll");
}

void frmSplash::Form_Load()
{
    if (m_stage != Stage::Created)
        return;
    const QPointer<frmSplash> self(this);
    Picture1->setPixmap(m_background);

    m_stage = Stage::Checking;
    OK1();
    if (!self || m_stage == Stage::HandedOver)
        return;
    m_stage = Stage::Loaded;
    if (m_timerDue) {
        // The check outlasted the six seconds; their end was held back until now.
        Timer1_Timer();
        return;
    }
    show();
}

void frmSplash::OK1()
{
    const QPointer<frmSplash> self(this);

    // A folder of our own in the user's temporary directory, under a name nobody can guess, so no
    // other user can plant or read the version file. It goes, with whatever is in it, at the end.
    const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kivaro-XXXXXX"));
    const QString localCopy = folder.isValid() ? folder.filePath(QStringLiteral("temp.dll")) : QString();

    // A download starts with its stop flag cleared, so a timer already due must be heeded here.
    if (!localCopy.isEmpty() && !m_timerDue)
        FD->DownloadFile(versionSource(), localCopy);
    if (!self)
        return;
    letEventsRun();
    if (!self)
        return;

    QString field;
    if (!localCopy.isEmpty()) {
        QFile file(localCopy);
        if (file.open(QIODevice::ReadOnly))
            field = versionField(file.read(VersionReadLimit));
    }
    letEventsRun();
    if (!self)
        return;
    if (!localCopy.isEmpty())
        QFile::remove(localCopy);

    // A site that cannot be reached or a file without a number says nothing about a newer release:
    // the program starts as usual rather than pushing an update nobody announced.
    const std::optional<bool> newer = isAboveRelease(field, ReleaseThreshold);
    qCInfo(lcStartup).noquote() << QStringLiteral("version check: %1 gives %2")
                                       .arg(versionSource(),
                                            !newer ? QStringLiteral("no release number")
                                                : *newer
                                                ? QStringLiteral("newer release %1").arg(field)
                                                : QStringLiteral("release %1, not newer").arg(field));
    if (newer.value_or(false)) {
        m_stage = Stage::HandedOver;
        m_windows.updateWindow().show();
        closeAndDestroy();
        return;
    }
    m_windows.engine().Play(Form1::DefaultQuery());
}

void frmSplash::Timer1_Timer()
{
    switch (m_stage) {
    case Stage::Created:
    case Stage::Checking:
        // Still checking: the check decides first. Waiting any longer for the vendor's site would
        // keep the user looking at nothing, so the download is given up.
        m_timerDue = true;
        Timer1->stop();
        FD->Cancel();
        return;
    case Stage::HandedOver:
    case Stage::Done:
        return;
    case Stage::Loaded:
        break;
    }
    Timer1->stop();
    m_stage = Stage::Done;
    // The main window first, so that the program never has no window at all.
    m_windows.mainWindow().show();
    qCInfo(lcStartup).noquote() << QStringLiteral("main window shown");
    closeAndDestroy();
}

void frmSplash::closeAndDestroy()
{
    Timer1->stop();
    hide();
    deleteLater();
}

void frmSplash::closeEvent(QCloseEvent *event)
{
    // The splash takes no user input: closing it by hand would leave a program without windows.
    event->ignore();
}

} // namespace kivaro
