#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace kivaro {

class MprisService;

// org.mpris.MediaPlayer2.Player: what plays, and play and stop. Kivaro streams one video at a time
// through an outside player: there is no pause, seeking, volume or track list to offer, and the
// methods for them do nothing, as MPRIS asks of a player that says it cannot.
class MediaPlayer2PlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(double Volume READ Volume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit MediaPlayer2PlayerAdaptor(MprisService *service);

    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    double Rate() const { return 1.0; }
    double Volume() const { return 1.0; }
    qlonglong Position() const { return 0; }
    bool CanGoNext() const { return false; }
    bool CanGoPrevious() const { return false; }
    bool CanPlay() const { return true; }
    bool CanPause() const { return false; }
    bool CanSeek() const { return false; }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Play();
    void PlayPause();
    void Stop();
    void Pause() { }
    void Next() { }
    void Previous() { }
    void Seek([[maybe_unused]] qlonglong Offset) { }
    void SetPosition([[maybe_unused]] const QDBusObjectPath &TrackId, [[maybe_unused]] qlonglong Position) { }
    void OpenUri([[maybe_unused]] const QString &Uri) { }

private:
    MprisService &m_service;
};

} // namespace kivaro
