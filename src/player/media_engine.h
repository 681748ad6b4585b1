#pragma once

#include <QObject>
#include <QString>

// Play-state codes of the automation interface the player was designed around. The values
// are that interface's own, so the status captions and the end-of-media rule keep their
// meaning; only some of them are ever reported by the engine here.
enum class PlayState {
    Undefined = 0,
    Stopped = 1,
    Paused = 2,
    Playing = 3,
    ScanForward = 4,
    ScanReverse = 5,
    Buffering = 6,
    Waiting = 7,
    MediaEnded = 8,
    Transitioning = 9,
    Ready = 10,
    Reconnecting = 11,
};

// The media engine `w1`. Member names follow the automation names of the original engine:
//   URL (set)                      -> setURL
//   settings.volume (get/set)      -> volume / setVolume
//   controls.play / pause / stop   -> play / pause / stop
//   playState                      -> playState
// Position and duration are milliseconds; the playback tick makes the "mm:ss" texts the
// original engine gave. Every read is cheap and asks nothing of the engine's own threads:
// the values are kept on the user-interface thread and pushed from there with a signal
// when they change.
class MediaEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaEngine() override = default;

    // Opens the file and starts playing it; no separate play call follows.
    virtual void setURL(const QString& path) = 0;

    // 0..100; values outside are clamped.
    virtual int volume() const = 0;
    virtual void setVolume(int volume) = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;

    virtual PlayState playState() const = 0;

    // Whether a media is current. Position and duration mean something only then.
    virtual bool hasMedia() const = 0;

    // Milliseconds into the current media at this moment. Between two positionChanged() the
    // position moves on at rate(), and only so.
    virtual qint64 position() const = 0;

    // How fast the position moves: the playback speed while playing, 0 while it stands
    // (paused, stopped, opening, buffering, ended).
    virtual double rate() const = 0;

    // Length of the current media in milliseconds; 0 while it is not known.
    virtual qint64 duration() const = 0;

    // Whether the position can be moved: a media is open, loaded, of a known length, and
    // neither stopped nor at its end. Told by mediaChanged, durationChanged and
    // playStateChanged.
    virtual bool canSeek() const = 0;
    // Moves to milliseconds into the current media, clamped to it, keeping the play state;
    // positionChanged tells the new position at once. Nothing without canSeek().
    virtual void seek(qint64 milliseconds) = 0;

    // Stops output cleanly so that ending the process cuts no audio mid-buffer.
    virtual void shutdown() = 0;

Q_SIGNALS:
    void playStateChanged(PlayState state);
    // A media became current or stopped being current.
    void mediaChanged();
    void durationChanged(qint64 milliseconds);
    // The position went somewhere other than where rate() was taking it: a new media, a
    // rewind, a pause that settled, a clock put right. Not raised while it simply runs on.
    void positionChanged(qint64 milliseconds);
    // Raised when playback reaches the end of the current media, with playState() already
    // reading PlayState::MediaEnded. The argument carries no meaning.
    void endOfStream(int result);
};
