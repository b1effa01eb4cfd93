#include "startup/frmupdate.h"

#include "platform/childprocess.h"
#include "platform/events.h"
#include "platform/trace.h"
#include "platform/windowlayout.h"
#include "startup/filedownloader.h"
#include "startup/signedupdate.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>

namespace kivaro {

namespace {

// The window is laid out in twips.
constexpr QRect Label1Geometry = fromTwips(960, 30, 1335, 480);
constexpr QRect Label2Geometry = fromTwips(120, 720, 3015, 975);
constexpr QRect NoGeometry = fromTwips(120, 2160, 1455, 375);
constexpr QRect YesGeometry = fromTwips(1680, 2160, 1455, 375);
// The bar takes the place of both buttons.
constexpr QRect BarGeometry = fromTwips(120, 2160, 3135 - 120, 375);

constexpr int BarMinimum = 0;
constexpr int BarMaximum = 100;

// "Arial" for the heading, the design's 8.25 pt for the question, at 96 dots per inch.
constexpr int HeadingPixels = 21;
constexpr int QuestionPixels = 11;

// The splash picture's colours, so the prompt looks like the same program.
constexpr QRgb BackgroundTop = qRgb(52, 64, 86);
constexpr QRgb BackgroundBottom = qRgb(17, 22, 33);
constexpr QRgb Rule = qRgb(7, 96, 118);
constexpr QRgb HeadingCyan = qRgb(0, 206, 244);
constexpr QRgb QuestionText = qRgb(226, 232, 241);
constexpr int RuleTop = 38;
constexpr int RuleInset = 8;

// The installer's own name, in a folder of its own.
constexpr auto InstallerName = QLatin1String("NewVers.exe");

} // namespace

frmUpdate::frmUpdate(const Settings &settings, ProgramEnder endProgram, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_vendorAddress(settings.vendorAddress())
    , m_vendorKey(settings.vendorKey)
    , m_endProgram(std::move(endProgram))
    , m_startProcess(&frmUpdate::startDetached)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("Update"));
    setFixedSize(ClientSize);

    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, background());
    palette.setColor(QPalette::WindowText, QColor(QuestionText));
    setPalette(palette);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("Update"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Label1Geometry);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(designFont(HeadingPixels, true));
    QPalette heading = Label1->palette();
    heading.setColor(QPalette::WindowText, QColor(HeadingCyan));
    Label1->setPalette(heading);

    Label2 = new QLabel(
        QStringLiteral("There's a new verion availible, if you want to keep using this software, it has "
                       "to be installed, do you want to install the new version?"),
        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Label2Geometry);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    Label2->setFont(designFont(QuestionPixels));

    btnNEE = new QPushButton(QStringLiteral("No"), this);
    btnNEE->setObjectName(QStringLiteral("btnNEE"));
    btnNEE->setGeometry(NoGeometry);
    connect(btnNEE, &QPushButton::clicked, this, &frmUpdate::btnNEE_Click);

    btnJa = new QPushButton(QStringLiteral("Yes"), this);
    btnJa->setObjectName(QStringLiteral("btnJa"));
    btnJa->setGeometry(YesGeometry);
    connect(btnJa, &QPushButton::clicked, this, &frmUpdate::btnJa_Click);

    Bar = new QProgressBar(this);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setGeometry(BarGeometry);
    Bar->setRange(BarMinimum, BarMaximum);
    Bar->setValue(BarMinimum);
    Bar->setTextVisible(false);
    Bar->hide();

    FD = new FileDownloader(this);
    FD->setObjectName(QStringLiteral("FD"));
    FD->setMaximumBytes(MaxInstallerBytes);
    FD->setDeadline(InstallerDeadlineMs);
    signatureDownloader = new FileDownloader(this);
    signatureDownloader->setObjectName(QStringLiteral("signatureDownloader"));
    signatureDownloader->setMaximumBytes(MaxSignatureBytes);
    connect(FD, &FileDownloader::DowloadComplete, this, &frmUpdate::FD_DowloadComplete);
    connect(FD, &FileDownloader::DownloadProgress, this, &frmUpdate::FD_DownloadProgress);

    centreOnScreen(this);
}

frmUpdate::~frmUpdate() = default;

QPixmap frmUpdate::background()
{
    QPixmap picture(ClientSize);
    QPainter painter(&picture);
    QLinearGradient fall(0, 0, 0, ClientSize.height());
    fall.setColorAt(0, QColor(BackgroundTop));
    fall.setColorAt(1, QColor(BackgroundBottom));
    painter.fillRect(picture.rect(), fall);
    painter.setPen(QColor(Rule));
    painter.drawLine(RuleInset, RuleTop, ClientSize.width() - 1 - RuleInset, RuleTop);
    return picture;
}

QString frmUpdate::installerSource() const
{
    return m_vendorAddress + QLatin1Char('/') + InstallerName;
}

bool frmUpdate::startDetached(QFile &program)
{
    return kivaro::startDetached(program);
}

void frmUpdate::btnNEE_Click()
{
    m_endProgram();
}

void frmUpdate::btnJa_Click()
{
    // The buttons are hidden while a download runs; a second press must not start a second one.
    if (m_fetching || m_installerStarted)
        return;
    const QPointer<frmUpdate> self(this);
    btnJa->hide();
    btnNEE->hide();
    Bar->show();

    // A fresh private folder for each try: nobody else can plant a file under the name that will be
    // started, nor swap it between the check and the start.
    m_installerFolder
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kivaro-update-XXXXXX"));
    m_installer
        = m_installerFolder->isValid() ? m_installerFolder->filePath(QString(InstallerName)) : QString();
    m_signature.clear();
    m_fetching = true;
    // The signature first: without one there is nothing worth downloading a program for.
    if (!m_installer.isEmpty()) {
        const QString signaturePath = signatureSource(m_installer);
        signatureDownloader->DownloadFile(signatureSource(installerSource()), signaturePath);
        if (!self)
            return;
        m_signature = readSmallFile(signaturePath, MaxSignatureBytes);
        QFile::remove(signaturePath);
        if (m_signature.isEmpty() && !m_declined)
            qCInfo(lcStartup).noquote()
                << QStringLiteral("update: no signature at %1").arg(signatureSource(installerSource()));
    }
    if (!m_signature.isEmpty() && !m_declined) {
        FD->DownloadFile(installerSource(), m_installer);
        if (!self)
            return;
    }
    m_fetching = false;
    if (m_declined) {
        // Stopped by Escape or by closing the window: nothing of the download stays.
        m_installerFolder.reset();
        m_endProgram();
        return;
    }
    if (!m_installerStarted)
        askAgain();
}

void frmUpdate::decline()
{
    if (!m_fetching) {
        btnNEE_Click();
        return;
    }
    // The download ends at its next check point; the Yes handler then ends the program.
    m_declined = true;
    signatureDownloader->Cancel();
    FD->Cancel();
}

void frmUpdate::askAgain()
{
    m_installerFolder.reset();
    m_installer.clear();
    m_signature.clear();
    Bar->hide();
    Bar->setValue(BarMinimum);
    btnNEE->show();
    btnJa->show();
}

void frmUpdate::FD_DownloadProgress(const QString &intPercent)
{
    bool ok = false;
    const int percent = intPercent.toInt(&ok);
    // A server that sends more than it announced makes the count pass 100; the bar stays full.
    if (ok)
        Bar->setValue(std::clamp(percent, BarMinimum, BarMaximum));
}

void frmUpdate::FD_DowloadComplete()
{
    if (m_installerStarted || m_installer.isEmpty() || m_declined)
        return;
    // The file is checked through the very descriptor it will be started from, so what runs is what
    // was checked. Nothing arrived (the server announced no length), a bad or missing signature, or
    // one for another release: the file goes, and the Yes handler asks again when the download
    // returns.
    QFile installer(m_installer);
    QString refusal;
    if (!installer.open(QIODevice::ReadOnly) || installer.size() == 0) {
        refusal = QStringLiteral("nothing arrived");
    } else {
        uchar *mapped = installer.map(0, installer.size());
        refusal = mapped == nullptr
            ? QStringLiteral("it cannot be read")
            : installerRefusal(m_vendorKey,
                               QByteArrayView(reinterpret_cast<const char *>(mapped), installer.size()),
                               m_signature, m_release);
        if (mapped != nullptr)
            installer.unmap(mapped);
    }
    if (!refusal.isEmpty()) {
        qCInfo(lcStartup).noquote()
            << QStringLiteral("update: %1 refused: %2").arg(installerSource(), refusal);
        installer.close();
        QFile::remove(m_installer);
        return;
    }
    // Only now may it run: executable for its owner alone.
    installer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!m_startProcess(installer)) {
        qCInfo(lcStartup).noquote() << QStringLiteral("update: %1 cannot be started").arg(installerSource());
        installer.close();
        QFile::remove(m_installer);
        return;
    }
    m_installerStarted = true;
    qCInfo(lcStartup).noquote() << QStringLiteral("update: installer for release %1 started").arg(m_release);
    // The installer runs from its open file, so its folder can go at once.
    installer.close();
    m_installerFolder.reset();

    const QPointer<frmUpdate> self(this);
    letEventsRun();
    if (!self)
        return;
    m_endProgram();
}

void frmUpdate::closeEvent(QCloseEvent *event)
{
    // Closing the prompt by hand declines the update, as "No" does.
    event->ignore();
    decline();
}

void frmUpdate::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        decline();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kivaro
