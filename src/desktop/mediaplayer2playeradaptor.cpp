#include "desktop/mediaplayer2playeradaptor.h"

#include "desktop/mprisservice.h"

namespace kivaro {

MediaPlayer2PlayerAdaptor::MediaPlayer2PlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(*service)
{ }

QString MediaPlayer2PlayerAdaptor::PlaybackStatus() const
{
    return m_service.playbackStatus();
}

QVariantMap MediaPlayer2PlayerAdaptor::Metadata() const
{
    return m_service.metadata();
}

void MediaPlayer2PlayerAdaptor::Play()
{
    m_service.play();
}

void MediaPlayer2PlayerAdaptor::PlayPause()
{
    m_service.playPause();
}

void MediaPlayer2PlayerAdaptor::Stop()
{
    m_service.stop();
}

} // namespace kivaro
