#include "app/windows.h"

#include "desktop/mprisservice.h"
#include "engine/form2.h"
#include "mainwindow/form1.h"
#include "platform/mpvipc.h"
#include "platform/processplayer.h"
#include "platform/trace.h"
#include "startup/frmsplash.h"
#include "startup/frmupdate.h"

#include <QAction>
#include <QLineEdit>

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
            auto player = std::make_unique<ProcessPlayer>(m_settings.player, Settings::neutralAddress());
            // Once the music is over, or could not start, the desktop is told that nothing plays.
            QObject::connect(player.get(), &ProcessPlayer::playbackEnded, player.get(), [this] {
                if (m_mediaControls)
                    m_mediaControls->setPlayerAddress(Settings::neutralAddress());
            });
            m_playerControl = player->control();
            if (m_mediaControls)
                m_mediaControls->setPlayerControl(m_playerControl);
            return player;
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
    if (!m_form2) {
        m_form2 = std::make_unique<Form2>(m_settings, [this]() -> MainWindowInterface & { return form1(); });
        if (m_mediaControls)
            connectMediaControls();
    }
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

bool Windows::startMediaControls(const QDBusConnection &bus)
{
    const MprisService::Actions actions {
        [this] {
            Form1 &main = form1();
            main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
            main.show();
            main.raise();
            main.activateWindow();
        },
        [this] { endProgram(); },
        [this] { form2().StpStream->trigger(); },
        [this] {
            Form2 &engine = form2();
            const QString query = engine.Text4->text();
            if (!query.isEmpty())
                engine.Play(query);
        },
    };
    auto service = std::make_unique<MprisService>(Settings::neutralAddress(), actions);
    if (!service->registerOn(bus)) {
        qCInfo(lcDesktop).noquote() << (bus.isConnected()
                                            ? QStringLiteral(
                                                "the session bus refused the media controls' name")
                                            : QStringLiteral("no session bus: no media controls"));
        return false;
    }
    qCInfo(lcDesktop).noquote()
        << QStringLiteral("media controls on the session bus as %1").arg(service->serviceName());
    m_mediaControls = std::move(service);
    m_mediaControls->setPlayerControl(m_playerControl);
    if (m_form2)
        connectMediaControls();
    return true;
}

void Windows::connectMediaControls()
{
    QObject::connect(m_form2.get(), &Form2::playerAddressChanged, m_mediaControls.get(),
                     &MprisService::setPlayerAddress);
    QObject::connect(m_form2.get(), &Form2::titleChanged, m_mediaControls.get(), &MprisService::setTitle);
}

void Windows::endProgram()
{
    m_endProgram();
}

} // namespace kivaro
