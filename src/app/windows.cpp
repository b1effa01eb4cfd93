#include "app/windows.h"

#include "engine/form2.h"
#include "mainwindow/form1.h"
#include "platform/processplayer.h"

namespace kivaro {

Windows::Windows(Settings settings, PlayerFactory makePlayer)
    : m_settings(std::move(settings))
    , m_makePlayer(std::move(makePlayer))
{
    if (!m_makePlayer) {
        m_makePlayer = [this]() -> std::unique_ptr<Player> {
            auto player = std::make_unique<ProcessPlayer>(m_settings.player, Settings::neutralAddress());
            player->setVerbose(m_settings.verbose);
            return player;
        };
    }
}

Windows::~Windows() = default;

Form1 &Windows::form1()
{
    if (!m_form1)
        m_form1 = std::make_unique<Form1>(m_settings, [this]() -> Form2 & { return form2(); }, m_makePlayer());
    return *m_form1;
}

Form2 &Windows::form2()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>(m_settings, [this]() -> MainWindowInterface & { return form1(); });
    return *m_form2;
}

} // namespace kivaro
