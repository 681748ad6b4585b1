#include "platform/mpv/mpv_engine.h"

#include "files/regular_file.h"
#include "platform/mpv/mpv_engine_shared.h"
#include "platform/mpv/mpv_library.h"
#include "platform/mpv/mpv_properties.h"
#include "platform/mpv/mpv_startup.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <mpv/client.h>
#include <utility>

Q_LOGGING_CATEGORY(lcMpv, "vellora.mpv")
Q_LOGGING_CATEGORY(lcStartup, "vellora.startup", QtInfoMsg)

using namespace mpvengine;

long long mpvengine::millisecondsSinceEpoch() {
    return static_cast<long long>(QDateTime::currentMSecsSinceEpoch());
}

namespace {

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

} // namespace

MpvEngine::MpvEngine(QObject* parent) : MpvEngine(QString(), parent) {}

MpvEngine::MpvEngine(const QString& library, QObject* parent) : MediaEngine(parent) {
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
            if (!loading_)
                return; // shut down first
            startup_ = std::make_unique<MpvStartup>(
                this, libraries, clientName,
                [this](MpvInstance instance) { start(std::move(instance)); });
        },
        Qt::QueuedConnection);
}

MpvEngine::~MpvEngine() {
    // Receivers are told nothing about an engine that is going away.
    blockSignals(true);
    shutdown();
}

void MpvEngine::start(MpvInstance instance) {
    loading_ = false;
    startup_.reset();
    if (!instance.handle) {
        pending_.clear();
        qCWarning(lcMpv) << "playback is unavailable:" << instance.failure;
        Q_EMIT unavailable(instance.failure);
        return;
    }
    qCDebug(lcStartup, "libmpv ready at %lld ms since the epoch", millisecondsSinceEpoch());
    mpv_ = std::make_unique<const MpvApi>(instance.api);
    handle_ = instance.handle;
    // mpv reports the position a few times a second while it runs; each report costs a wakeup
    // of this thread, but nothing further unless it disagrees with where the position runs.
    const std::pair<ObservedProperty, std::pair<const char*, mpv_format>> observed[] = {
        {ObservedDuration, {mpvname::property::Duration, MPV_FORMAT_DOUBLE}},
        {ObservedEofReached, {mpvname::property::EofReached, MPV_FORMAT_FLAG}},
        {ObservedPausedForCache, {mpvname::property::PausedForCache, MPV_FORMAT_FLAG}},
        {ObservedSpeed, {mpvname::property::Speed, MPV_FORMAT_DOUBLE}},
        {ObservedTimePos, {mpvname::property::TimePos, MPV_FORMAT_DOUBLE}},
    };
    for (const auto& [id, property] : observed)
        mpv_->mpv_observe_property(handle_, id, property.first, property.second);
    mpv_->mpv_set_wakeup_callback(handle_, &MpvEngine::onWakeup, this);
    // Each call raises its own changes, and a receiver of them may call in turn: that comes
    // in between just as it would have had the engine been ready from the start.
    for (const auto& call : std::exchange(pending_, {}))
        call();
}

bool MpvEngine::deferredUntilReady(std::function<void()> call) {
    if (!loading_)
        return false;
    pending_.push_back(std::move(call));
    return true;
}

void MpvEngine::shutdown() {
    const Announcer announcer(*this);
    pending_.clear();
    if (loading_) {
        loading_ = false;
        // Abandons the start: what it still makes is closed by the loading thread.
        startup_.reset();
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

void MpvEngine::setURL(const QString& path) {
    if (deferredUntilReady([this, path] { setURL(path); }))
        return;
    const Announcer announcer(*this);
    if (!handle_)
        return;
    path_ = path;
    hasMedia_ = true;
    changes_.media = true;
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
    setState(PlayState::Transitioning);
    setDuration(-1);
    jumpTo(0);
}

void MpvEngine::setPaused(bool paused) {
    int flag = paused ? 1 : 0;
    mpv_->mpv_set_property(handle_, mpvname::property::Pause, MPV_FORMAT_FLAG, &flag);
}

double MpvEngine::runningRate() const {
    return state_ == PlayState::Playing ? speed_ : 0.0;
}

// The position runs from where it is at the new rate.
void MpvEngine::setState(PlayState state) {
    if (state == state_)
        return;
    const qint64 now = steadyNow();
    const qint64 at = clock_.positionAt(now);
    state_ = state;
    changes_.state = true;
    clock_.set(at, runningRate(), now);
}

void MpvEngine::setSpeed(double speed) {
    if (speed == speed_ || !std::isfinite(speed))
        return;
    const qint64 now = steadyNow();
    const qint64 at = clock_.positionAt(now);
    speed_ = speed;
    clock_.set(at, runningRate(), now);
    changes_.position = true;
}

void MpvEngine::setDuration(double seconds) {
    const qint64 milliseconds = toMilliseconds(seconds);
    if (milliseconds == duration_)
        return;
    duration_ = milliseconds;
    changes_.duration = true;
}

void MpvEngine::jumpTo(qint64 position) {
    const qint64 now = steadyNow();
    if (clock_.positionAt(now) != position)
        changes_.position = true;
    clock_.set(position, runningRate(), now);
}

// The position runs on between mpv's reports, but never past the end of the media.
qint64 MpvEngine::position() const {
    if (!hasMedia_)
        return 0;
    const qint64 at = clock_.positionAt(steadyNow());
    return duration_ > 0 ? std::min(at, duration_) : at;
}

void MpvEngine::announce() {
    const Changes changes = std::exchange(changes_, {});
    if (changes.media)
        Q_EMIT mediaChanged();
    if (changes.state)
        Q_EMIT playStateChanged(state_);
    if (changes.duration)
        Q_EMIT durationChanged(duration_);
    if (changes.position)
        Q_EMIT positionChanged(position());
}

// mpv only lets go of the file it plays when another one replaces it. Media given up on must
// be stopped there as well, or the file before it plays on with nothing left to control it.
void MpvEngine::dropMedia() {
    const char* args[] = {mpvname::command::Stop, nullptr};
    mpv_->mpv_command(handle_, args);
    forgetMedia(PlayState::Ready);
}

void MpvEngine::forgetMedia(PlayState state) {
    changes_.media = changes_.media || hasMedia_;
    hasMedia_ = false;
    currentEntry_ = 0;
    fileLoaded_ = false;
    playbackStarted_ = false;
    rewindPending_ = false;
    setState(state);
    setDuration(-1);
    jumpTo(0);
}

bool MpvEngine::isIdle() const {
    if (!handle_)
        return true;
    int idle = 0;
    return mpv_->mpv_get_property(handle_, mpvname::property::IdleActive, MPV_FORMAT_FLAG, &idle) >=
               0 &&
           idle;
}

std::optional<double> MpvEngine::mpvPosition() const {
    double seconds = 0;
    if (!handle_ || mpv_->mpv_get_property(handle_, mpvname::property::TimePos, MPV_FORMAT_DOUBLE,
                                           &seconds) < 0)
        return std::nullopt;
    return seconds;
}

bool MpvEngine::currentFileIsActive() const {
    return fileLoaded_ && activeEntry_ == currentEntry_;
}
