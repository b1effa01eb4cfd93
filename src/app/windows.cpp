#include "app/windows.h"

#include "engine/form2.h"
#include "mainwindow/form1.h"
#include "platform/processplayer.h"
#include "startup/frmsplash.h"
#include "startup/frmupdate.h"

#include <unistd.h>

namespace kivaro {

Windows::Windows(Settings settings, PlayerFactory makePlayer, ProgramEnder endProgram)
    : m_settings(std::move(settings))
    , m_makePlayer(std::move(makePlayer))
    , m_endProgram(std::move(endProgram))
    , m_splashIntervalMs(frmSplash::Timer1IntervalMs)
{
    if (!m_makePlayer) {
        m_makePlayer = [this]() -> std::unique_ptr<Player> {
            return std::make_unique<ProcessPlayer>(m_settings.player, Settings::neutralAddress());
        };
    }
    if (!m_endProgram) {
        m_endProgram = [this] {
            // The music is part of the program: its player goes first.
            if (m_form1)
                m_form1->flash().setMovie(Settings::neutralAddress());
            ::_exit(0);
        };
    }
}

Windows::~Windows()
{
    delete m_splash.data();
}

Form1 &Windows::form1()
{
    if (!m_form1)
        m_form1 = std::make_unique<Form1>(
            m_settings, [this]() -> Form2 & { return form2(); }, m_makePlayer(), [this] { endProgram(); });
    return *m_form1;
}

Form2 &Windows::form2()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>(m_settings, [this]() -> MainWindowInterface & { return form1(); });
    return *m_form2;
}

frmSplash &Windows::splash()
{
    if (!m_splash) {
        const frmSplash::OtherWindows others {
            [this]() -> Form2 & { return form2(); },
            [this]() -> Form1 & { return form1(); },
            [this]() -> frmUpdate & { return updateWindow(); },
        };
        auto *splash = new frmSplash(m_settings, others, m_splashIntervalMs);
        // Held before it loads, so that whatever runs during its version check finds this one.
        m_splash = splash;
        splash->Form_Load();
        return *splash;
    }
    return *m_splash;
}

frmUpdate &Windows::updateWindow()
{
    if (!m_updateWindow) {
        m_updateWindow = std::make_unique<frmUpdate>(m_settings, [this] { endProgram(); });
    }
    return *m_updateWindow;
}

void Windows::endProgram()
{
    m_endProgram();
}

} // namespace kivaro
