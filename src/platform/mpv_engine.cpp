#include "platform/mpv_engine.h"

#include "platform/mpv_library.h"
#include "platform/mpv_properties.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mpv/client.h>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

// What the loading thread made: a running mpv, or why there is none.
struct MpvEngine::Started {
    MpvApi api{};
    mpv_handle* handle = nullptr;
    QString failure;
};

// Where the engine and its loading thread meet; kept alive by whichever of the two is last.
struct MpvEngine::Startup {
    std::mutex mutex;
    // The engine shut down first: the loading thread closes whatever it made itself.
    bool abandoned = false;
    std::optional<Started> started;
};

// Raises changed() when the engine call or event it guards has changed what readers see.
class MpvEngine::Announcer {
public:
    explicit Announcer(MpvEngine& engine) : engine_(engine) {}
    ~Announcer() { engine_.announce(); }
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

private:
    MpvEngine& engine_;
};

namespace {

Q_LOGGING_CATEGORY(lcMpv, "vellora.mpv")
// Off unless asked for (QT_LOGGING_RULES="vellora.startup.debug=true"): the start-up benchmark
// reads from it when the first sound began.
Q_LOGGING_CATEGORY(lcStartup, "vellora.startup", QtInfoMsg)

enum ObservedProperty : std::uint64_t {
    ObservedDuration = 1,
    ObservedEofReached,
    ObservedPausedForCache,
    ObservedSpeed,
    ObservedTimePos,
};

struct OptionValue {
    const char* name;
    const char* value;
};

// Why some of these are set:
// - With mpv's default gapless mode the end of a file is announced while the last ~0.4 s of
//   audio is still queued (a 2 s file "ended" after 1.64 s of playback), and the reported
//   position stops short of the duration. gapless-audio=no makes mpv drain the output first.
// - keep-open then holds the finished file paused at its end instead of unloading it: the end
//   shows as eof-reached after the audio has drained (2.02 s for the same file) with the
//   position at the duration, and play() can rewind the open file instead of reopening it.
// - null is the last audio output so that machines without a sound device still play, in
//   real time and silently; the fallback covers a device that opens but then fails.
// - No subtitle or cover-art auto-loading: an .lrc beside the media would otherwise be
//   loaded as a subtitle, which starts the subtitle renderer and fontconfig.
// - No config files, scripts, key bindings or terminal: the engine must behave the same on
//   every machine whatever the user has configured for the mpv player.
constexpr OptionValue FixedOptions[] = {
    {mpvname::option::Config, "no"},
    {mpvname::option::Terminal, "no"},
    {mpvname::option::InputDefaultBindings, "no"},
    {mpvname::option::InputVoKeyboard, "no"},
    {mpvname::option::LoadScripts, "no"},
    {mpvname::option::Ytdl, "no"},
    {mpvname::option::Osc, "no"},
    {mpvname::option::ResumePlayback, "no"},
    {mpvname::option::Idle, "yes"},
    {mpvname::option::Video, "no"},
    {mpvname::option::AudioDisplay, "no"},
    {mpvname::option::SubtitleAuto, "no"},
    {mpvname::option::AudioFileAuto, "no"},
    {mpvname::option::CoverArtAuto, "no"},
    {mpvname::option::AudioOutput, "pulse,pipewire,alsa,null"},
    {mpvname::option::AudioFallbackToNull, "yes"},
    {mpvname::option::GaplessAudio, "no"},
    {mpvname::option::KeepOpen, "yes"},
    {mpvname::option::VolumeMax, "100"},
    {mpvname::property::Volume, "100"},
};

// Option failures are logged rather than fatal: a name a future libmpv drops should cost
// that one behaviour, not all playback.
void setOption(const MpvApi& mpv, mpv_handle* handle, const char* name, const char* value) {
    const int rc = mpv.mpv_set_option_string(handle, name, value);
    if (rc < 0)
        qCWarning(lcMpv, "option %s=%s rejected: %s", name, value, mpv.mpv_error_string(rc));
}

// Makes and starts the mpv instance; returns why it could not, or nothing.
QString startMpv(const MpvApi& mpv, const QByteArray& clientName, mpv_handle*& handle) {
    handle = mpv.mpv_create();
    if (!handle)
        return QStringLiteral("mpv_create failed");
    for (const auto& option : FixedOptions)
        setOption(mpv, handle, option.name, option.value);
    if (!clientName.isEmpty())
        setOption(mpv, handle, mpvname::option::AudioClientName, clientName.constData());
    const int rc = mpv.mpv_initialize(handle);
    if (rc < 0) {
        mpv.mpv_terminate_destroy(std::exchange(handle, nullptr));
        return QStringLiteral("mpv_initialize: %1")
            .arg(QString::fromUtf8(mpv.mpv_error_string(rc)));
    }
    // The position is observed only while it stands (MpvEngine::watchStandingPosition): while
    // it runs, every change would wake the UI thread.
    mpv.mpv_observe_property(handle, ObservedDuration, mpvname::property::Duration,
                             MPV_FORMAT_DOUBLE);
    mpv.mpv_observe_property(handle, ObservedEofReached, mpvname::property::EofReached,
                             MPV_FORMAT_FLAG);
    mpv.mpv_observe_property(handle, ObservedPausedForCache, mpvname::property::PausedForCache,
                             MPV_FORMAT_FLAG);
    mpv.mpv_observe_property(handle, ObservedSpeed, mpvname::property::Speed, MPV_FORMAT_DOUBLE);
    return {};
}

long long millisecondsSinceEpoch() {
    return static_cast<long long>(QDateTime::currentMSecsSinceEpoch());
}

std::int64_t entryIdOf(const mpv_node& result) {
    if (result.format != MPV_FORMAT_NODE_MAP)
        return 0;
    const mpv_node_list* map = result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (std::strcmp(map->keys[i], mpvname::PlaylistEntryId) == 0 &&
            map->values[i].format == MPV_FORMAT_INT64)
            return map->values[i].u.int64;
    }
    return 0;
}

long long wholeSeconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(std::floor(seconds)) : 0;
}

} // namespace

MpvEngine::MpvEngine(QObject* parent) : MpvEngine(QString(), parent) {}

MpvEngine::MpvEngine(const QString& library, QObject* parent)
    : MediaEngine(parent), startup_(std::make_shared<Startup>()), positionText_(formatMediaTime(0)),
      durationText_(formatMediaTime(0)) {
    // Loading starts once the event loop runs, with the window built. The dynamic loader holds
    // one lock while it loads libmpv and the ~190 libraries behind it, and the image plugins
    // the window loads while it is built waited behind that lock: started here, the window
    // appeared no sooner than with libmpv linked in.
    QMetaObject::invokeMethod(
        this,
        [this,
         libraries =
             library.isEmpty() ? defaultMpvLibraries() : std::vector{QFile::encodeName(library)},
         clientName = QCoreApplication::applicationName().toUtf8()] {
            startLoading(libraries, clientName);
        },
        Qt::QueuedConnection);
}

void MpvEngine::startLoading(const std::vector<QByteArray>& libraries,
                             const QByteArray& clientName) {
    if (!startup_)
        return; // shut down first
    std::promise<void> finished;
    startupFinished_ = finished.get_future();
    try {
        std::thread(&MpvEngine::startUp, startup_, this, libraries, clientName, std::move(finished))
            .detach();
    } catch (const std::system_error&) {
        // No thread to spare: start here, the UI thread waiting for it.
        std::promise<void> here;
        startupFinished_ = here.get_future();
        startUp(startup_, this, libraries, clientName, std::move(here));
    }
}

MpvEngine::~MpvEngine() {
    // Receivers are told nothing about an engine that is going away.
    blockSignals(true);
    shutdown();
}

// Runs on the loading thread and touches nothing of the engine but the startup they share;
// what it made reaches the engine through a call queued to the UI thread.
void MpvEngine::startUp(std::shared_ptr<Startup> startup, MpvEngine* engine,
                        std::vector<QByteArray> libraries, QByteArray clientName,
                        std::promise<void> finished) {
    Started started;
    started.failure = loadMpvLibrary(libraries, started.api);
    if (started.failure.isEmpty())
        started.failure = startMpv(started.api, clientName, started.handle);
    bool handedOver = false;
    {
        const std::lock_guard lock(startup->mutex);
        if (!startup->abandoned) {
            startup->started = started;
            handedOver = true;
            // Queued under the lock, which the engine takes to abandon the startup before it
            // goes; a call still queued when it goes is discarded with it.
            QMetaObject::invokeMethod(engine, &MpvEngine::finishStartup, Qt::QueuedConnection);
        }
    }
    if (!handedOver && started.handle)
        started.api.mpv_terminate_destroy(started.handle);
    finished.set_value();
}

void MpvEngine::finishStartup() {
    if (!startup_)
        return; // shut down meanwhile
    std::optional<Started> started;
    {
        const std::lock_guard lock(startup_->mutex);
        started = std::exchange(startup_->started, std::nullopt);
    }
    if (!started)
        return;
    startup_.reset();
    if (!started->handle) {
        pending_.clear();
        qCWarning(lcMpv) << "playback is unavailable:" << started->failure;
        Q_EMIT unavailable(started->failure);
        return;
    }
    qCDebug(lcStartup, "libmpv ready at %lld ms since the epoch", millisecondsSinceEpoch());
    mpv_ = std::make_unique<const MpvApi>(started->api);
    handle_ = started->handle;
    mpv_->mpv_set_wakeup_callback(handle_, &MpvEngine::onWakeup, this);
    // Each call raises its own changes, and a receiver of them may call in turn: that comes
    // in between just as it would have had the engine been ready from the start.
    for (const auto& call : std::exchange(pending_, {}))
        call();
}

bool MpvEngine::deferredUntilReady(std::function<void()> call) {
    if (!startup_)
        return false;
    pending_.push_back(std::move(call));
    return true;
}

void MpvEngine::shutdown() {
    const Announcer announcer(*this);
    pending_.clear();
    if (startup_) {
        std::optional<Started> started;
        {
            const std::lock_guard lock(startup_->mutex);
            startup_->abandoned = true;
            started = std::exchange(startup_->started, std::nullopt);
        }
        startup_.reset();
        if (started && started->handle) {
            terminateMpvWithin(started->api.mpv_terminate_destroy, started->handle);
        } else if (!started && startupFinished_.valid() &&
                   startupFinished_.wait_for(MpvTeardownDeadline) == std::future_status::timeout) {
            // Still loading or starting; the loading thread closes what it made by itself.
            qCWarning(lcMpv, "libmpv did not start or close within %lld ms; leaving it behind",
                      static_cast<long long>(MpvTeardownDeadline.count()));
        }
        return;
    }
    if (!handle_)
        return;
    // mpv holds its own lock while it runs the callback, so once this returns no callback
    // is running or can start, and none can post to an object about to go away.
    mpv_->mpv_set_wakeup_callback(handle_, nullptr, nullptr);
    mpv_handle* handle = std::exchange(handle_, nullptr);
    forgetMedia(PlayState::Undefined);
    terminateMpvWithin(mpv_->mpv_terminate_destroy, handle);
}

// Runs on whichever thread mpv happens to be on, the UI thread included, so it must not
// touch mpv or any state: it only asks the UI thread to drain.
void MpvEngine::onWakeup(void* context) {
    auto* engine = static_cast<MpvEngine*>(context);
    if (!engine->drainQueued_.exchange(true))
        QMetaObject::invokeMethod(engine, &MpvEngine::drainEvents, Qt::QueuedConnection);
}

void MpvEngine::drainEvents() {
    // Cleared before draining: a wakeup that arrives meanwhile queues one more pass, which at
    // worst finds nothing to do.
    drainQueued_.store(false);
    // A receiver of changed() or endOfStream may load the next file or shut the engine down
    // from inside this loop; the handle is checked on every pass for that reason.
    while (handle_) {
        const mpv_event* event = mpv_->mpv_wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        const Announcer announcer(*this);
        handleEvent(*event);
    }
}

void MpvEngine::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        activeEntry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (currentEntry_ != 0 && activeEntry_ == currentEntry_) {
            fileLoaded_ = true;
            // Asked once here rather than trusted from the observer: a file of the same length
            // as the one before it would not count as a change.
            double seconds = 0;
            if (mpv_->mpv_get_property(handle_, mpvname::property::Duration, MPV_FORMAT_DOUBLE,
                                       &seconds) >= 0)
                setDuration(seconds);
        }
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!currentFileIsActive())
            break;
        // Playback starts, or a seek landed: the position goes on from where it is now.
        changed_ = true;
        playbackStarted_ = true;
        rewindPending_ = false;
        if (state_ == PlayState::Transitioning) {
            setState(PlayState::Playing);
            qCDebug(lcStartup, "playing at %lld ms since the epoch", millisecondsSinceEpoch());
        }
        break;
    case MPV_EVENT_END_FILE:
        handleEndFile(event);
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        handlePropertyChange(event);
        break;
    case MPV_EVENT_SHUTDOWN:
        shutdown();
        break;
    default:
        break;
    }
}

void MpvEngine::handlePropertyChange(const mpv_event& event) {
    const auto& property = *static_cast<const mpv_event_property*>(event.data);
    if (event.reply_userdata == ObservedSpeed) {
        // The speed belongs to mpv, not to a file; we never change it, but a reader's clock
        // must not go wrong if it ever does.
        if (property.format == MPV_FORMAT_DOUBLE) {
            const double speed = *static_cast<const double*>(property.data);
            changed_ = changed_ || speed != speed_;
            speed_ = speed;
        }
        return;
    }
    if (!currentFileIsActive())
        return;
    switch (event.reply_userdata) {
    case ObservedTimePos:
        if (positionWatched_ && !rewindPending_)
            changed_ = true;
        break;
    case ObservedDuration:
        if (property.format == MPV_FORMAT_DOUBLE)
            setDuration(*static_cast<const double*>(property.data));
        break;
    case ObservedEofReached:
        // A stopped file has been rewound; an end seen then was reached before the stop.
        if (property.format == MPV_FORMAT_FLAG && *static_cast<const int*>(property.data) &&
            state_ != PlayState::Stopped)
            handleEndReached();
        break;
    case ObservedPausedForCache:
        if (property.format != MPV_FORMAT_FLAG)
            break;
        if (*static_cast<const int*>(property.data)) {
            if (state_ == PlayState::Playing)
                setState(PlayState::Buffering);
        } else if (state_ == PlayState::Buffering) {
            setState(PlayState::Playing);
        }
        break;
    default:
        break;
    }
}

void MpvEngine::handleEndFile(const mpv_event& event) {
    const auto& end = *static_cast<const mpv_event_end_file*>(event.data);
    if (end.playlist_entry_id == activeEntry_)
        activeEntry_ = 0;
    if (currentEntry_ == 0 || end.playlist_entry_id != currentEntry_)
        return;
    currentEntry_ = 0;
    fileLoaded_ = false;
    switch (end.reason) {
    case MPV_END_FILE_REASON_EOF:
        handleEndReached();
        break;
    case MPV_END_FILE_REASON_REDIRECT:
        // The path was a playlist. What it lists is not the media we were given, so mpv must
        // not go on to play it.
        qCInfo(lcMpv) << "not a single media file:" << path_;
        dropMedia();
        break;
    case MPV_END_FILE_REASON_ERROR:
        qCInfo(lcMpv) << "cannot play" << path_ << mpv_->mpv_error_string(end.error);
        dropMedia();
        break;
    default:
        // Stopped from inside mpv: the media is kept and play() opens it again.
        setState(PlayState::Stopped);
        rewindPending_ = false;
        break;
    }
}

void MpvEngine::handleEndReached() {
    switch (state_) {
    case PlayState::Playing:
    case PlayState::Buffering:
    case PlayState::Paused:
    case PlayState::Transitioning:
        break;
    default:
        return;
    }
    // A file that ends before any of it played (no audio in it, say) was not playable.
    if (!playbackStarted_) {
        qCInfo(lcMpv) << "nothing to play in" << path_;
        dropMedia();
        return;
    }
    setState(PlayState::MediaEnded);
    // A reader woken by the change sees the end before whoever acts on it moves on.
    announce();
    Q_EMIT endOfStream(0);
}

void MpvEngine::setURL(const QString& path) {
    if (deferredUntilReady([this, path] { setURL(path); }))
        return;
    const Announcer announcer(*this);
    if (!handle_)
        return;
    path_ = path;
    hasMedia_ = true;
    changed_ = true;
    load();
}

void MpvEngine::load() {
    if (path_.isEmpty()) {
        dropMedia();
        return;
    }
    // An absolute path can never be taken for a URL, a protocol prefix or "-" (standard
    // input), whatever a playlist file put in it.
    const QString absolute = QFileInfo(path_).absoluteFilePath();
    // mpv opens whatever it is handed, dropping the file it was playing first. A pipe nobody
    // writes to would keep it opening for good and a device such as /dev/zero keeps it
    // probing for seconds, so only regular files go to it.
    if (!isRegularFile(absolute)) {
        qCInfo(lcMpv) << "not a file that can be played:" << path_;
        dropMedia();
        return;
    }
    const QByteArray file = QFile::encodeName(absolute);
    const char* args[] = {mpvname::command::LoadFile, file.constData(), nullptr};
    mpv_node result{};
    const int rc = mpv_->mpv_command_ret(handle_, args, &result);
    std::int64_t entry = 0;
    if (rc >= 0) {
        entry = entryIdOf(result);
        mpv_->mpv_free_node_contents(&result);
    }
    if (entry == 0) {
        qCInfo(lcMpv) << "cannot load" << path_ << mpv_->mpv_error_string(rc);
        dropMedia();
        return;
    }
    // Only now: a file held at its end (keep-open) pauses itself again when told to play, so
    // an unpause sent before the replacement is lost and the new file would open paused.
    setPaused(false);
    currentEntry_ = entry;
    fileLoaded_ = false;
    playbackStarted_ = false;
    rewindPending_ = false;
    changed_ = true;
    setState(PlayState::Transitioning);
    setDuration(-1);
}

void MpvEngine::play() {
    if (deferredUntilReady([this] { play(); }))
        return;
    const Announcer announcer(*this);
    if (!handle_ || !hasMedia_)
        return;
    switch (state_) {
    case PlayState::Playing:
    case PlayState::Transitioning:
    case PlayState::Buffering:
        return;
    case PlayState::Paused:
        setPaused(false);
        setState(playbackStarted_ ? PlayState::Playing : PlayState::Transitioning);
        return;
    default:
        break;
    }
    // Stopped or ended: start over from the beginning.
    if (currentEntry_ == 0) {
        load();
        return;
    }
    const bool rewinding = rewind();
    setPaused(false);
    setState(rewinding || !playbackStarted_ ? PlayState::Transitioning : PlayState::Playing);
}

void MpvEngine::pause() {
    if (deferredUntilReady([this] { pause(); }))
        return;
    const Announcer announcer(*this);
    if (!handle_ || !hasMedia_)
        return;
    switch (state_) {
    case PlayState::Playing:
    case PlayState::Transitioning:
    case PlayState::Buffering:
        setPaused(true);
        setState(PlayState::Paused);
        break;
    default:
        break;
    }
}

void MpvEngine::stop() {
    if (deferredUntilReady([this] { stop(); }))
        return;
    const Announcer announcer(*this);
    if (!handle_ || !hasMedia_)
        return;
    setPaused(true);
    rewind();
    setState(PlayState::Stopped);
}

bool MpvEngine::rewind() {
    if (!fileLoaded_)
        return false;
    const char* args[] = {mpvname::command::Seek, "0", mpvname::SeekAbsoluteExact, nullptr};
    rewindPending_ = mpv_->mpv_command(handle_, args) >= 0;
    changed_ = changed_ || rewindPending_;
    return rewindPending_;
}

void MpvEngine::setPaused(bool paused) {
    int flag = paused ? 1 : 0;
    mpv_->mpv_set_property(handle_, mpvname::property::Pause, MPV_FORMAT_FLAG, &flag);
}

void MpvEngine::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    if (deferredUntilReady([this, level = volume_] { setVolume(level); }))
        return;
    if (!handle_)
        return;
    double level = volume_;
    mpv_->mpv_set_property(handle_, mpvname::property::Volume, MPV_FORMAT_DOUBLE, &level);
}

void MpvEngine::setState(int state) {
    changed_ = changed_ || state != state_;
    state_ = state;
    watchStandingPosition();
}

// mpv takes one more step of the position after it stops moving: at a pause, the position
// read at once is still the one from before the output's buffered audio was accounted for
// (0.63 s, then 0.80 s a moment later). Watching the position while it stands tells that
// step, and costs nothing while it stands; while it runs it is not watched, since every
// change would wake the UI thread.
void MpvEngine::watchStandingPosition() {
    if (!handle_) {
        positionWatched_ = false;
        return;
    }
    const bool watch = state_ == PlayState::Paused || state_ == PlayState::Buffering ||
                       state_ == PlayState::MediaEnded;
    if (watch == positionWatched_)
        return;
    positionWatched_ = watch;
    if (watch)
        mpv_->mpv_observe_property(handle_, ObservedTimePos, mpvname::property::TimePos,
                                   MPV_FORMAT_DOUBLE);
    else
        mpv_->mpv_unobserve_property(handle_, ObservedTimePos);
}

void MpvEngine::announce() {
    if (std::exchange(changed_, false))
        Q_EMIT changed();
}

// Asked of mpv on every read rather than mirrored: mirroring it would take a wakeup of the UI
// thread for each of its many changes a second, and a position extrapolated from the last
// event drifts from mpv's own, which follows the audio device's clock. The asking costs a
// short wait for mpv's core, and happens only where our file is the one mpv has open, with no
// rewind on the way: elsewhere the position is the start.
double MpvEngine::position() const {
    switch (state_) {
    case PlayState::Playing:
    case PlayState::Paused:
    case PlayState::Buffering:
    case PlayState::MediaEnded:
        break;
    default:
        return 0; // opening, rewinding, or stopped (and rewound)
    }
    double seconds = 0;
    if (rewindPending_ || !currentFileIsActive() ||
        mpv_->mpv_get_property(handle_, mpvname::property::TimePos, MPV_FORMAT_DOUBLE, &seconds) <
            0 ||
        !std::isfinite(seconds))
        return 0;
    return std::max(seconds, 0.0);
}

std::optional<QString> MpvEngine::currentPositionString() const {
    if (!hasMedia_)
        return std::nullopt;
    // The text changes once a second and is read far more often, so only a new second is
    // formatted.
    const long long second = wholeSeconds(position());
    if (second != positionSecond_) {
        positionSecond_ = second;
        positionText_ = formatMediaTime(static_cast<double>(second));
    }
    return positionText_;
}

std::optional<MediaClock> MpvEngine::clock() const {
    if (!hasMedia_)
        return std::nullopt;
    return MediaClock{position(), state_ == PlayState::Playing ? speed_ : 0.0};
}

std::optional<QString> MpvEngine::durationString() const {
    if (!hasMedia_)
        return std::nullopt;
    return durationText_;
}

void MpvEngine::setDuration(double seconds) {
    const long long second = seconds < 0 ? -1 : wholeSeconds(seconds);
    if (second == durationSecond_)
        return;
    changed_ = true;
    durationSecond_ = second;
    durationText_ = formatMediaTime(static_cast<double>(std::max(second, 0LL)));
}

// mpv only lets go of the file it plays when another one replaces it. Media given up on must
// be stopped there as well, or the file before it plays on with nothing left to control it.
void MpvEngine::dropMedia() {
    const char* args[] = {mpvname::command::Stop, nullptr};
    mpv_->mpv_command(handle_, args);
    forgetMedia(PlayState::Ready);
}

void MpvEngine::forgetMedia(int state) {
    changed_ = changed_ || hasMedia_;
    hasMedia_ = false;
    currentEntry_ = 0;
    fileLoaded_ = false;
    playbackStarted_ = false;
    rewindPending_ = false;
    setState(state);
    setDuration(-1);
}

bool MpvEngine::isIdle() const {
    if (!handle_)
        return true;
    int idle = 0;
    return mpv_->mpv_get_property(handle_, mpvname::property::IdleActive, MPV_FORMAT_FLAG, &idle) >=
               0 &&
           idle;
}

bool MpvEngine::currentFileIsActive() const {
    return fileLoaded_ && activeEntry_ == currentEntry_;
}
