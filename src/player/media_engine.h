#pragma once

#include <QObject>
#include <QString>
#include <optional>

// Play-state codes that the rest of the program compares. They are the codes of the
// automation interface the player was designed around, so they are kept as plain ints.
namespace PlayState {
inline constexpr int Undefined = 0;
inline constexpr int Stopped = 1;
inline constexpr int Paused = 2;
inline constexpr int Playing = 3;
inline constexpr int Buffering = 6;
inline constexpr int MediaEnded = 8;
inline constexpr int Transitioning = 9;
inline constexpr int Ready = 10;
} // namespace PlayState

// The media engine `w1`. Member names follow the automation names of the original engine:
//   URL (set)                      -> setURL
//   settings.volume (get/set)      -> volume / setVolume
//   controls.play / pause / stop   -> play / pause / stop
//   controls.currentPositionString -> currentPositionString
//   currentMedia.durationString    -> durationString
//   playState                      -> playState
// Reads must be cheap: the playback tick and the desktop integration read them whenever the
// engine reports a change.
//
// Where the current media is, and how fast that moves: rate is the playback speed while the
// position advances, 0 while it stands (paused, stopped, buffering, ended).
struct MediaClock {
    double position = 0; // seconds
    double rate = 0;
    bool operator==(const MediaClock&) const = default;
};

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

    // "mm:ss", minutes and seconds of two digits at least; minutes keep counting past the
    // hour ("75:03"). Empty optional while there is no current media to ask.
    virtual std::optional<QString> currentPositionString() const = 0;
    virtual std::optional<QString> durationString() const = 0;

    virtual int playState() const = 0;

    // Empty optional while there is no current media to ask.
    virtual std::optional<MediaClock> clock() const = 0;

    // Stops output cleanly so that ending the process cuts no audio mid-buffer.
    virtual void shutdown() = 0;

Q_SIGNALS:
    // Raised when playback reaches the end of the current media, with playState()
    // already reading PlayState::MediaEnded. The argument carries no meaning.
    void endOfStream(int result);

    // Raised after anything a reader sees changed other than by the passing of time: the
    // play state, the media (opened, failed, dropped), its duration, a seek or rewind, the
    // rate. Between two of these the position moves only as clock() says it does.
    void changed();
};

// "mm:ss" of a whole number of seconds, minutes counting on past 59.
QString formatMediaTime(double seconds);
