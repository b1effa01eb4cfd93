#pragma once

#include "platform/settings.h"

#include <QPointer>

#include <functional>
#include <memory>

class QDBusConnection;

namespace kivaro {

class Form1;
class Form2;
class MprisService;
class MpvIpc;
class Player;
class frmSplash;
class frmUpdate;

// The program's windows, one of each. A window is created, hidden, the first time any part of the
// program uses it, and lives as long as this registry. main() makes one registry; each test makes
// its own and throws it away.
class Windows
{
public:
    using PlayerFactory = std::function<std::unique_ptr<Player>()>;
    using ProgramEnder = std::function<void()>;

    // Without a player factory the configured player command plays; without a program ender the
    // program ends as endProgram() describes. Tests give both.
    explicit Windows(Settings settings, PlayerFactory makePlayer = {}, ProgramEnder endProgram = {});
    ~Windows();
    Windows(const Windows &) = delete;
    Windows &operator=(const Windows &) = delete;

    Form1 &form1();
    Form2 &form2();
    // The splash is where the program starts: creating it runs its load step, the version check
    // included. It closes and destroys itself once it has handed over.
    frmSplash &splash();
    frmUpdate &updateWindow();
    bool hasForm1() const { return m_form1 != nullptr; }
    bool hasForm2() const { return m_form2 != nullptr; }
    bool hasSplash() const { return !m_splash.isNull(); }
    bool hasUpdateWindow() const { return m_updateWindow != nullptr; }
    // How long the splash stands before the main window shows (tests shorten it); set it before the
    // splash is first used.
    void setSplashInterval(int milliseconds) { m_splashIntervalMs = milliseconds; }
    // The one way the program ends, handed to every window that ends it: at once, with no further
    // window events and no windows or connections closed first, but without the player playing on.
    void endProgram();
    // Offers the program to the desktop's media controls (MPRIS) on this bus. Without a bus the
    // program runs as before; false, and a --verbose line says so.
    bool startMediaControls(const QDBusConnection &bus);
    MprisService *mediaControls() const { return m_mediaControls.get(); }
    const Settings &settings() const { return m_settings; }

private:
    void connectMediaControls();

    Settings m_settings;
    PlayerFactory m_makePlayer;
    ProgramEnder m_endProgram;
    int m_splashIntervalMs;
    QPointer<frmSplash> m_splash;
    // The control the player offers (mpv's IPC), for the media controls; null for other players.
    QPointer<MpvIpc> m_playerControl;
    std::unique_ptr<frmUpdate> m_updateWindow;
    // Declared in this order so that the main window, which holds the player, goes first.
    std::unique_ptr<Form2> m_form2;
    std::unique_ptr<Form1> m_form1;
    // Last, so that it goes before the windows its actions reach.
    std::unique_ptr<MprisService> m_mediaControls;
};

} // namespace kivaro
