#include "desktop/mediaplayer2playeradaptor.h"

#include "desktop/mprisservice.h"

namespace kivaro {

MediaPlayer2PlayerAdaptor::MediaPlayer2PlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(*service)
{
    connect(service, &MprisService::seeked, this, &MediaPlayer2PlayerAdaptor::Seeked);
}

double MediaPlayer2PlayerAdaptor::Volume() const
{
    return m_service.volume();
}

void MediaPlayer2PlayerAdaptor::setVolume(double volume)
{
    m_service.setVolume(volume);
}

qlonglong MediaPlayer2PlayerAdaptor::Position() const
{
    return m_service.position();
}

bool MediaPlayer2PlayerAdaptor::CanPause() const
{
    return m_service.controlled();
}

bool MediaPlayer2PlayerAdaptor::CanSeek() const
{
    return m_service.canSeek();
}

void MediaPlayer2PlayerAdaptor::Pause()
{
    m_service.pause();
}

void MediaPlayer2PlayerAdaptor::Seek(qlonglong Offset)
{
    m_service.seek(Offset);
}

void MediaPlayer2PlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    m_service.setPosition(TrackId.path(), Position);
}

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
