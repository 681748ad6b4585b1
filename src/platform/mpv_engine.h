#pragma once

#include "player/media_engine.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

struct mpv_handle;
struct mpv_event;
struct MpvApi;

// MediaEngine on libmpv, which is loaded on a thread of its own once the event loop runs: the
// libraries behind it take longer to load than the window takes to appear. Calls made until
// it is ready wait in order and are applied then; reads meanwhile answer as before any media.
//
// State and events are mirrored on the UI thread, woken only by mpv's events. The position
// alone is asked of mpv when read: it changes all the time, and mirroring it would wake the
// UI thread many times a second. Every other change raises changed().
//
// stop() pauses and rewinds rather than unloading, so the current media stays open and a
// later play() starts it again at once. After the end of the media the file also stays
// open (paused at its end), and play() rewinds it.
class MpvEngine final : public MediaEngine {
    Q_OBJECT
public:
    // The libmpv this program was built against.
    explicit MpvEngine(QObject* parent = nullptr);
    // `library`: the file name or path of the libmpv to load; empty for the default.
    explicit MpvEngine(const QString& library, QObject* parent = nullptr);
    ~MpvEngine() override;

    MpvEngine(const MpvEngine&) = delete;
    MpvEngine& operator=(const MpvEngine&) = delete;

    // False once libmpv could not be loaded or started, and after shutdown; the engine then
    // acts as one with no media.
    bool isAvailable() const { return handle_ != nullptr || startup_ != nullptr; }
    // Asks mpv itself, not the mirrored state: true while it has no file open, or when it is
    // not running. Not meant for the playback tick.
    bool isIdle() const;

    void setURL(const QString& path) override;
    int volume() const override { return volume_; }
    void setVolume(int volume) override;
    void play() override;
    void pause() override;
    void stop() override;
    std::optional<QString> currentPositionString() const override;
    std::optional<QString> durationString() const override;
    int playState() const override { return state_; }
    std::optional<MediaClock> clock() const override;
    void shutdown() override;

Q_SIGNALS:
    // Raised once, from the event loop, when libmpv cannot be loaded or started; `reason` is
    // a short text for a message to the user.
    void unavailable(const QString& reason);

private:
    struct Startup;
    struct Started;
    class Announcer;

    void startLoading(const std::vector<QByteArray>& libraries, const QByteArray& clientName);
    static void startUp(std::shared_ptr<Startup> startup, MpvEngine* engine,
                        std::vector<QByteArray> libraries, QByteArray clientName,
                        std::promise<void> finished);
    void finishStartup();
    bool deferredUntilReady(std::function<void()> call);

    static void onWakeup(void* context);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    void handleEndFile(const mpv_event& event);
    void handleEndReached();

    void load();
    bool rewind();
    void setPaused(bool paused);
    void setState(int state);
    void watchStandingPosition();
    void setDuration(double seconds);
    void dropMedia();
    void forgetMedia(int state);
    bool currentFileIsActive() const;
    double position() const;
    void announce();

    // Shared with the loading thread until it hands the started mpv over.
    std::shared_ptr<Startup> startup_;
    std::future<void> startupFinished_;
    std::vector<std::function<void()>> pending_;

    std::unique_ptr<const MpvApi> mpv_;
    mpv_handle* handle_ = nullptr;
    // Wakeups can come in bursts from mpv's threads; one queued drain serves them all.
    std::atomic<bool> drainQueued_{false};
    // Something a reader can see changed since changed() was last raised.
    bool changed_ = false;

    QString path_;
    bool hasMedia_ = false;
    // Playlist entry mpv gave our last loadfile, and the entry it is working on now. Events
    // about any other entry (the one being replaced, or what a playlist file expanded to)
    // are not about our media.
    std::int64_t currentEntry_ = 0;
    std::int64_t activeEntry_ = 0;
    bool fileLoaded_ = false;
    bool playbackStarted_ = false;
    // A rewind is queued in mpv; positions reported until it completes are from before it.
    bool rewindPending_ = false;

    bool positionWatched_ = false;

    int state_ = PlayState::Undefined;
    int volume_ = 100;
    double speed_ = 1;
    // The position text of the second last read, which most reads ask for again.
    mutable long long positionSecond_ = 0;
    mutable QString positionText_;
    long long durationSecond_ = -1;
    QString durationText_;
};
