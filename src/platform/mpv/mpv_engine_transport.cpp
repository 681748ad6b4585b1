#include "platform/mpv/mpv_engine.h"

#include "platform/mpv/mpv_library.h"
#include "platform/mpv/mpv_properties.h"

#include <algorithm>
#include <mpv/client.h>

// Transport: the calls that play, pause, stop and set the volume, each waiting for libmpv
// while it is still loading.

void MpvEngine::withOpenMedia(void (MpvEngine::*again)(), const std::function<void()>& body) {
    if (deferredUntilReady([this, again] { (this->*again)(); }))
        return;
    const Announcer announcer(*this);
    if (handle_ && hasMedia_)
        body();
}

void MpvEngine::play() {
    withOpenMedia(&MpvEngine::play, [this] {
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
        jumpTo(0);
    });
}

void MpvEngine::pause() {
    withOpenMedia(&MpvEngine::pause, [this] {
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
    });
}

void MpvEngine::stop() {
    withOpenMedia(&MpvEngine::stop, [this] {
        setPaused(true);
        rewind();
        setState(PlayState::Stopped);
        jumpTo(0);
    });
}

bool MpvEngine::rewind() {
    return fileLoaded_ && seekInMpv(0);
}

bool MpvEngine::seekInMpv(qint64 milliseconds) {
    const QByteArray seconds = QByteArray::number(milliseconds / 1000.0, 'f', 3);
    const char* args[] = {mpvname::command::Seek, seconds.constData(), mpvname::SeekAbsoluteExact,
                          nullptr};
    rewindPending_ = mpv_->mpv_command(handle_, args) >= 0;
    return rewindPending_;
}

bool MpvEngine::canSeek() const {
    if (!handle_ || !hasMedia_ || !fileLoaded_ || duration_ <= 0)
        return false;
    return state_ != PlayState::Stopped && state_ != PlayState::MediaEnded;
}

void MpvEngine::seek(qint64 milliseconds) {
    if (!canSeek())
        return;
    const Announcer announcer(*this);
    const qint64 target = std::clamp<qint64>(milliseconds, 0, duration_);
    if (seekInMpv(target))
        jumpTo(target);
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
