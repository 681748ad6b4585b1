#pragma once

#include "player/media_engine.h"
#include "player/playback_clock.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct mpv_handle;
struct mpv_event;
struct MpvApi;
struct MpvInstance;
class MpvStartup;

// MediaEngine on libmpv, which is loaded on a thread of its own once the event loop runs (see
// MpvStartup). Calls made until it is ready wait in order and are applied then; reads
// meanwhile answer as before any media.
//
// State is mirrored on the user-interface thread from mpv's events, so reads never wait for
// mpv. The position comes from mpv's reports of it (a few a second) and runs on between them
// (PlaybackClock); only a report that disagrees with where it runs is passed on.
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
    bool isAvailable() const { return handle_ != nullptr || loading_; }
    // Asks mpv itself, not the mirrored state: true while it has no file open, or when it is
    // not running. Not meant for the playback tick.
    bool isIdle() const;
    // Asks mpv itself where the playing file is, in seconds; empty while it has none. For
    // checking the mirrored position against, not for the playback tick.
    std::optional<double> mpvPosition() const;

    void setURL(const QString& path) override;
    int volume() const override { return volume_; }
    void setVolume(int volume) override;
    void play() override;
    void pause() override;
    void stop() override;
    PlayState playState() const override { return state_; }
    bool hasMedia() const override { return hasMedia_; }
    qint64 position() const override;
    double rate() const override { return clock_.rate(); }
    qint64 duration() const override { return duration_; }
    bool canSeek() const override;
    void seek(qint64 milliseconds) override;
    void shutdown() override;

Q_SIGNALS:
    // Raised once, from the event loop, when libmpv cannot be loaded or started; `reason` is
    // a short text for a message to the user.
    void unavailable(const QString& reason);

private:
    // Raises the change signals for what the engine call or event it guards has changed.
    class Announcer {
    public:
        explicit Announcer(MpvEngine& engine) : engine_(engine) {}
        ~Announcer() { engine_.announce(); }
        Announcer(const Announcer&) = delete;
        Announcer& operator=(const Announcer&) = delete;

    private:
        MpvEngine& engine_;
    };

    void start(MpvInstance instance);
    bool deferredUntilReady(std::function<void()> call);
    // A transport call: again once libmpv is ready if it is still loading, then body only
    // with media open, its changes announced when it is done.
    void withOpenMedia(void (MpvEngine::*again)(), const std::function<void()>& body);

    static void onWakeup(void* context);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    void handleEndFile(const mpv_event& event);
    void handleEndReached();
    void positionReported(double seconds);

    void load();
    bool rewind();
    bool seekInMpv(qint64 milliseconds);
    void setPaused(bool paused);
    void setState(PlayState state);
    void setSpeed(double speed);
    void setDuration(double seconds);
    void jumpTo(qint64 position);
    void dropMedia();
    void forgetMedia(PlayState state);
    bool currentFileIsActive() const;
    double runningRate() const;
    void announce();

    // Until libmpv is ready or has failed; calls meanwhile wait in pending_.
    bool loading_ = true;
    std::unique_ptr<MpvStartup> startup_;
    std::vector<std::function<void()>> pending_;

    std::unique_ptr<const MpvApi> mpv_;
    mpv_handle* handle_ = nullptr;
    // Wakeups can come in bursts from mpv's threads; one queued drain serves them all.
    std::atomic<bool> drainQueued_{false};

    // What changed since the signals were last raised.
    struct Changes {
        bool media = false;
        bool state = false;
        bool duration = false;
        bool position = false;
    } changes_;

    QString path_;
    bool hasMedia_ = false;
    // Playlist entry mpv gave our last loadfile, and the entry it is working on now. Events
    // about any other entry (the one being replaced, or what a playlist file expanded to)
    // are not about our media.
    std::int64_t currentEntry_ = 0;
    std::int64_t activeEntry_ = 0;
    bool fileLoaded_ = false;
    bool playbackStarted_ = false;
    // A seek (a rewind too) is queued in mpv; positions reported until it completes are from
    // before it.
    bool rewindPending_ = false;

    PlayState state_ = PlayState::Undefined;
    int volume_ = 100;
    double speed_ = 1;
    PlaybackClock clock_;
    qint64 duration_ = 0;
};
