#pragma once

#include "platform/settings.h"

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <memory>

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
// When the download fails, or its file cannot be started, the window asks again: "Yes" tries once
// more and "No" still ends the program, so the user is never left without a way out.
class frmUpdate : public QWidget
{
    Q_OBJECT

public:
    // Starts a program file as a process of its own, without waiting for it; true when it started.
    using ProcessStarter = std::function<bool(const QString &program)>;

    static constexpr QSize ClientSize { 217, 178 };

    // Ends the program at once: no further window events, no windows or connections closed first.
    using ProgramEnder = std::function<void()>;

    frmUpdate(const Settings &settings, ProgramEnder endProgram, QWidget *parent = nullptr);
    ~frmUpdate() override;

    // How the installer is started; tests replace it.
    void setProcessStarter(ProcessStarter starter) { m_startProcess = std::move(starter); }
    // The real thing: the file itself as the program, no arguments, no shell in between.
    static bool startDetached(const QString &program);

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FD_DowloadComplete();
    void FD_DownloadProgress(const QString &intPercent);
    void askAgain();
    static QPixmap background();

    QString m_vendorAddress;
    ProgramEnder m_endProgram;
    ProcessStarter m_startProcess;
    // A private folder in the user's temporary directory for each download of the installer.
    std::unique_ptr<QTemporaryDir> m_installerFolder;
    QString m_installer;
    bool m_installerStarted = false;
};

} // namespace kivaro
