#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

class Form1;
class MediaEngine;

// The player on the session bus, for media keys, panel applets and a second start: the
// object /org/mpris/MediaPlayer2 with the MPRIS root and player interfaces and the player's
// own files interface. Every command takes the main window's own path (its buttons'
// slots), and PropertiesChanged goes out when the engine, the playlist or the opened media
// report a change and a value really differs from the one last told; nothing polls.
class MprisService : public QObject {
    Q_OBJECT
public:
    MprisService(Form1& form, MediaEngine& engine, QObject* parent = nullptr);

    // Exports the object and takes the player's bus name. False when there is no bus or
    // another player holds the name; the player then simply runs without.
    bool registerOn(const QDBusConnection& connection);

    Form1& form() { return form_; }
    MediaEngine& engine() { return engine_; }

    // Values of the player interface as they are now.
    QString playbackStatus() const;
    QVariantMap metadata();
    double volume() const;
    void setVolume(double volume);
    qlonglong position() const;
    bool canPlay() const;

    // Runs what may open a dialog or end the window after the bus has had its reply, so
    // a caller never waits on a message box or on the exit fade.
    void later(std::function<void()> work);

private:
    void mediaOpened();
    void refresh();

    Form1& form_;
    MediaEngine& engine_;
    std::optional<QDBusConnection> connection_; // set once registered
    QVariantMap told_;                          // signalled values as last told

    // The opened media: a new opening is a new track, even of the same file.
    quint64 opening_ = 0;
    QString mediaPath_;
    QString lyrics_;
    // Metadata is rebuilt only when the opening or the length it describes changed; the
    // lyrics make it too large to compare on every change of the play state.
    struct MetadataKey {
        quint64 opening;
        std::optional<qint64> length;
        bool operator==(const MetadataKey&) const = default;
    };
    std::optional<MetadataKey> metadataKey_;
    std::optional<MetadataKey> toldMetadataKey_;
    QVariantMap metadata_;
};

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
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayerAdaptor(MprisService* service);

    QString playbackStatus() const { return service_->playbackStatus(); }
    double rate() const { return 1.0; }
    QVariantMap metadata() const { return service_->metadata(); }
    double volume() const { return service_->volume(); }
    void setVolume(double volume) { service_->setVolume(volume); }
    qlonglong position() const { return service_->position(); }
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const { return service_->canPlay(); }
    bool yes() const { return true; }
    bool no() const { return false; }

public Q_SLOTS:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // The player cannot seek (CanSeek is false), so these change nothing.
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    void OpenUri(const QString& uri);

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
