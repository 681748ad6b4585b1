#pragma once

#include "desktop_integration/mpris_service.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

// The three D-Bus interfaces of the player's object, each a thin face of MprisService.

class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ yes)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit MprisRootAdaptor(MprisService* service);

    bool yes() const { return true; }
    bool no() const { return false; }
    QString identity() const;
    QString desktopEntry() const;
    QStringList supportedUriSchemes() const;
    QStringList supportedMimeTypes() const;

public Q_SLOTS:
    void Raise();
    void Quit();

private:
    MprisService* service_;
};

// Paths a caller hands over are checked before the call returns: a refused one is answered
// with an error and never stored.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPlay)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayerAdaptor(MprisService* service);

    QString playbackStatus() const { return service_->playbackStatus(); }
    double rate() const { return 1.0; }
    QVariantMap metadata() const { return service_->metadata(); }
    double volume() const { return service_->volumeFraction(); }
    void setVolume(double volume) { service_->setVolumeFraction(volume); }
    qlonglong position() const { return service_->positionMicroseconds(); }
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const { return service_->canPlay(); }
    bool canSeek() const { return service_->canSeek(); }
    QString loopStatus() const { return service_->loopStatus(); }
    void setLoopStatus(const QString& status);
    bool yes() const { return true; }

public Q_SLOTS:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // Microseconds, moved in whole milliseconds.
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    void OpenUri(const QString& uri);

Q_SIGNALS:
    // The position jumped (a seek, a new position from the engine): microseconds.
    void Seeked(qlonglong position);

private:
    MprisService* service_;
};

// A second start hands its files over here.
class PlayerFilesAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.vellora.Vellora.Files")
public:
    explicit PlayerFilesAdaptor(MprisService* service);

public Q_SLOTS:
    // Absolute paths of files and folders, added as the command line adds them.
    void Open(const QStringList& paths);

private:
    MprisService* service_;
};
