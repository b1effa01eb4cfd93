#include "desktop/mediaplayer2adaptor.h"

#include "desktop/mprisservice.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace kivaro {

MediaPlayer2Adaptor::MediaPlayer2Adaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(*service)
{ }

void MediaPlayer2Adaptor::Raise()
{
    m_service.raise();
}

void MediaPlayer2Adaptor::Quit()
{
    // The program ends at once, so the caller is answered first. Messages leave a connection in
    // order: once the bus has answered a ping sent after the reply, the reply is on its way.
    if (calledFromDBus()) {
        setDelayedReply(true);
        QDBusConnection bus = connection();
        bus.send(message().createReply());
        bus.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    }
    m_service.quit();
}

} // namespace kivaro
