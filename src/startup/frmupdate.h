#pragma once

#include "platform/settings.h"

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <memory>

class QFile;
class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QTemporaryDir;

namespace kivaro {

class FileDownloader;

// The window shown instead of the main window when the vendor's site announces a newer release. It
// asks whether to install it: "No" ends the program, "Yes" downloads the installer with a progress
// bar, starts it and ends the program so that the installer can replace it.
//
// The installer runs only when the vendor signed it for the release the version file announced:
// its signature ("NewVers.exe.minisig") is fetched first, and the downloaded file is checked before
// it is made executable. Its private folder goes once it has been started or refused.
//
// When the download fails, or its file is refused or cannot be started, the window asks again:
// "Yes" tries once more and "No" still ends the program, so the user is never left without a way
// out. While it downloads, Escape or closing the window stops the download and takes the "No" way.
class frmUpdate : public QWidget
{
    Q_OBJECT

public:
    // Starts the program in an open file as a process of its own, without waiting for it; true when
    // it started.
    using ProcessStarter = std::function<bool(QFile &program)>;

    static constexpr QSize ClientSize { 217, 178 };
    // The longest an installer download may take. A user who watches the bar longer than this has
    // likely walked away, and a vendor's site that trickles a byte at a time (never silent long
    // enough for the time-out) must not hold the prompt for ever. A real installer, a few
    // megabytes, needs under 100 kbit/s to make it; the largest one accepted, about 5 Mbit/s.
    static constexpr int InstallerDeadlineMs = 15 * 60 * 1000;

    // Ends the program at once: no further window events, no windows or connections closed first.
    using ProgramEnder = std::function<void()>;

    frmUpdate(const Settings &settings, ProgramEnder endProgram, QWidget *parent = nullptr);
    ~frmUpdate() override;

    // How the installer is started; tests replace it.
    void setProcessStarter(ProcessStarter starter) { m_startProcess = std::move(starter); }
    // The real thing: the file itself as the program, no arguments, no shell in between.
    static bool startDetached(QFile &program);

    // The release the verified version file announced: the installer's signature must name it.
    void setAnnouncedRelease(const QString &release) { m_release = release; }
    QString announcedRelease() const { return m_release; }

    QString installerSource() const;
    // Where the installer was downloaded to, while a download or its start is under way.
    QString installerPath() const { return m_installer; }

    void btnJa_Click();
    void btnNEE_Click();

    QLabel *Label1 = nullptr; // heading "Update"
    QLabel *Label2 = nullptr; // the question, spelling "verion" and "availible" kept
    QPushButton *btnNEE = nullptr; // "No": ends the program
    QPushButton *btnJa = nullptr; // "Yes": downloads and starts the installer
    QProgressBar *Bar = nullptr; // the installer download, 0 to 100, in place of the buttons
    FileDownloader *FD = nullptr; // fetches the installer
    FileDownloader *signatureDownloader = nullptr; // fetches the installer's signature first

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FD_DowloadComplete();
    void FD_DownloadProgress(const QString &intPercent);
    // Escape or closing the window: "No", which first stops a download under way.
    void decline();
    void askAgain();
    static QPixmap background();

    QString m_vendorAddress;
    MinisignKey m_vendorKey;
    QString m_release;
    ProgramEnder m_endProgram;
    ProcessStarter m_startProcess;
    // A private folder in the user's temporary directory for each download of the installer.
    std::unique_ptr<QTemporaryDir> m_installerFolder;
    QString m_installer;
    QByteArray m_signature;
    bool m_fetching = false;
    bool m_declined = false;
    bool m_installerStarted = false;
};

} // namespace kivaro
