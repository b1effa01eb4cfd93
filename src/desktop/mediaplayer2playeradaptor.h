#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace kivaro {

class MprisService;

// org.mpris.MediaPlayer2.Player: what plays, play and stop, and, while the player answers its
// control, pause, volume, position and seeking. Kivaro streams one video at a time: there is no track
// list, and Next, Previous and OpenUri do nothing, as MPRIS asks of a player that says it cannot; so
// do pause and seeking while the player does not answer.
class MediaPlayer2PlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
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
    double Volume() const;
    void setVolume(double volume);
    qlonglong Position() const;
    bool CanGoNext() const { return false; }
    bool CanGoPrevious() const { return false; }
    bool CanPlay() const { return true; }
    bool CanPause() const;
    bool CanSeek() const;
    // Play and Stop always work, with or without control of the player: desktops hide every button
    // of a player that says it cannot be controlled.
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Play();
    void PlayPause();
    void Stop();
    void Pause();
    void Next() { }
    void Previous() { }
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position);
    void OpenUri([[maybe_unused]] const QString &Uri) { }

Q_SIGNALS:
    void Seeked(qlonglong Position);

private:
    MprisService &m_service;
};

} // namespace kivaro
