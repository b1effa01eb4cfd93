#include "desktop/mediaplayer2adaptor.h"

#include "desktop/mprisservice.h"

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
    m_service.quit();
}

} // namespace kivaro
