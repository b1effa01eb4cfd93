#include "startup/frmupdate.h"

#include "platform/events.h"
#include "platform/windowlayout.h"
#include "startup/filedownloader.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QProcess>
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

bool frmUpdate::startDetached(const QString &program)
{
    return QProcess::startDetached(program, QStringList());
}

void frmUpdate::btnNEE_Click()
{
    m_endProgram();
}

void frmUpdate::btnJa_Click()
{
    // The buttons are hidden while a download runs; a second press must not start a second one.
    if (FD->isDownloading() || m_installerStarted)
        return;
    const QPointer<frmUpdate> self(this);
    btnJa->hide();
    btnNEE->hide();
    Bar->show();

    // A fresh private folder for each try: nobody else can plant a file under the name that will be
    // started, nor swap it between the download and the start.
    m_installerFolder
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kivaro-update-XXXXXX"));
    m_installer
        = m_installerFolder->isValid() ? m_installerFolder->filePath(QString(InstallerName)) : QString();
    if (!m_installer.isEmpty())
        FD->DownloadFile(installerSource(), m_installer);
    if (!self)
        return;
    if (!m_installerStarted)
        askAgain();
}

void frmUpdate::askAgain()
{
    m_installerFolder.reset();
    m_installer.clear();
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
    if (m_installerStarted || m_installer.isEmpty())
        return;
    // The file arrives with ordinary file permissions; it has to be executable to be started. Only
    // its owner may touch it.
    QFile::setPermissions(m_installer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Nothing arrived to start (the server announced no length), or it will not run: the Yes
    // handler asks again when the download returns.
    if (!m_startProcess(m_installer))
        return;
    m_installerStarted = true;
    // The installer runs from this file after the program has ended.
    m_installerFolder->setAutoRemove(false);

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
    btnNEE_Click();
}

} // namespace kivaro
