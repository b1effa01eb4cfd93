#include "startup/frmsplash.h"

#include "engine/form2.h"
#include "kivaroassets.h"
#include "mainwindow/form1.h"
#include "platform/events.h"
#include "platform/trace.h"
#include "platform/windowlayout.h"
#include "startup/filedownloader.h"
#include "startup/frmupdate.h"
#include "startup/signedupdate.h"
#include "startup/versionfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

namespace kivaro {

frmSplash::frmSplash(const Settings &settings, OtherWindows windows, int timer1IntervalMs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_windows(std::move(windows))
    , m_vendorAddress(settings.vendorAddress())
    , m_vendorKey(settings.vendorKey)
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
    const QString localSignature = localCopy.isEmpty() ? QString() : signatureSource(localCopy);

    // A download starts with its stop flag cleared, so a timer already due must be heeded here.
    FD->setMaximumBytes(MaxVersionFileBytes);
    if (!localCopy.isEmpty() && !m_timerDue)
        FD->DownloadFile(versionSource(), localCopy);
    if (!self)
        return;
    // The signature only matters for a version file that came.
    if (QFileInfo::exists(localCopy) && !m_timerDue) {
        FD->setMaximumBytes(MaxSignatureBytes);
        FD->DownloadFile(signatureSource(versionSource()), localSignature);
        if (!self)
            return;
    }
    letEventsRun();
    if (!self)
        return;

    // A version file counts only when the vendor signed it: a forged one, from anyone on the way
    // or anyone holding the vendor's name, must not be able to push the update prompt.
    QString field;
    QString refusal;
    if (!localCopy.isEmpty() && QFileInfo::exists(localCopy)) {
        const QByteArray content = readSmallFile(localCopy, MaxVersionFileBytes);
        refusal = versionFileRefusal(m_vendorKey, content, readSmallFile(localSignature, MaxSignatureBytes));
        if (refusal.isEmpty())
            field = versionField(content);
    }
    letEventsRun();
    if (!self)
        return;
    if (!localCopy.isEmpty()) {
        QFile::remove(localCopy);
        QFile::remove(localSignature);
    }

    // A site that cannot be reached, a file without a number or one without a valid signature says
    // nothing about a newer release: the program starts as usual rather than pushing an update
    // nobody announced.
    const std::optional<bool> newer = isAboveRelease(field, ReleaseThreshold);
    QString outcome;
    if (!refusal.isEmpty())
        outcome = QStringLiteral("no release number: its signature is refused (%1)").arg(refusal);
    else if (!newer)
        outcome = QStringLiteral("no release number");
    else if (*newer)
        outcome = QStringLiteral("newer release %1").arg(field);
    else
        outcome = QStringLiteral("release %1, not newer").arg(field);
    qCInfo(lcStartup).noquote() << QStringLiteral("version check: %1 gives %2").arg(versionSource(), outcome);
    if (newer.value_or(false)) {
        m_stage = Stage::HandedOver;
        frmUpdate &update = m_windows.updateWindow();
        update.setAnnouncedRelease(field);
        update.show();
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
