#pragma once

#include "platform/settings.h"

#include <QPixmap>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace kivaro {

class FileDownloader;
class Form1;
class Form2;
class frmUpdate;

// The window the program starts with: one 500 x 300 picture. Before it shows itself it asks the
// vendor's site for the number of the newest release. When that is above this release, it hands the
// program over to the update window and nothing else starts. Otherwise it starts the default search
// at once and, six seconds after it was created, shows the main window and goes away.
//
// The six seconds include the version check. When they run out while the check is still waiting for
// the vendor's site, the check is given up as if the site had not answered, so the main window never
// waits on a slow or silent site; the check's outcome is always decided before the timer's action.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    using EngineAccess = std::function<Form2 &()>;
    using MainWindowAccess = std::function<Form1 &()>;
    using UpdateWindowAccess = std::function<frmUpdate &()>;

    // The other windows, reached on every use so that each is created when first needed.
    struct OtherWindows
    {
        EngineAccess engine;
        MainWindowAccess mainWindow;
        UpdateWindowAccess updateWindow;
    };

    static constexpr int Timer1IntervalMs = 6000;
    static constexpr QSize PictureSize { 500, 300 };
    // The number of this release as far as the version check is concerned.
    static constexpr int ReleaseThreshold = 3;
    static_assert(ReleaseThreshold >= 0 && ReleaseThreshold <= 9, "a release the version check can compare");

    // Creates the window, hidden, and starts Timer1. Form_Load() does the rest.
    frmSplash(const Settings &settings, OtherWindows windows, int timer1IntervalMs = Timer1IntervalMs,
              QWidget *parent = nullptr);
    ~frmSplash() override;

    // The load step: the picture, the version check and then either the update window (the splash
    // closes and destroys itself at once) or the default search with the splash shown. Returns once
    // that is done; window events run meanwhile.
    void Form_Load();
    // The version check: fetch the version file and its signature, read its first field when the
    // signature verifies, remove the files, and act on the number. Every step goes on after its own
    // failure.
    void OK1();
    // Timer1 coming due: the main window appears and the splash goes away.
    void Timer1_Timer();

    QString versionSource() const;

    QLabel *Picture1 = nullptr; // the splash picture, 500 x 300
    QTimer *Timer1 = nullptr; // 6,000 ms, once: the main window shows, the splash goes
    FileDownloader *FD = nullptr; // fetches the version file

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Stage { Created, Checking, Loaded, HandedOver, Done };

    void closeAndDestroy();

    OtherWindows m_windows;
    QString m_vendorAddress;
    MinisignKey m_vendorKey;
    QPixmap m_background;
    Stage m_stage = Stage::Created;
    bool m_timerDue = false;
};

} // namespace kivaro
