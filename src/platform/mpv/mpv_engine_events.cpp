#include "platform/mpv/mpv_engine.h"

#include "platform/mpv/mpv_engine_shared.h"
#include "platform/mpv/mpv_library.h"
#include "platform/mpv/mpv_properties.h"

#include <mpv/client.h>

// What mpv tells the engine, turned into its mirrored state: the events of the file it was
// given, and the observed properties.

using namespace mpvengine;

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
    // A receiver of a change or of endOfStream may load the next file or shut the engine down
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
        // Playback starts, or a rewind landed: the position runs on from here.
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
        if (property.format == MPV_FORMAT_DOUBLE)
            setSpeed(*static_cast<const double*>(property.data));
        return;
    }
    if (!currentFileIsActive())
        return;
    switch (event.reply_userdata) {
    case ObservedTimePos:
        if (property.format == MPV_FORMAT_DOUBLE)
            positionReported(*static_cast<const double*>(property.data));
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

// Opening, stopped or rewinding, the position is the start whatever mpv still reports of the
// file before. mpv also takes one more step of the position after it stops moving: at a
// pause, the position reported at once is still the one from before the output's buffered
// audio was accounted for (0.63 s, then 0.80 s a moment later); a standing position takes it.
void MpvEngine::positionReported(double seconds) {
    switch (state_) {
    case PlayState::Playing:
    case PlayState::Paused:
    case PlayState::Buffering:
    case PlayState::MediaEnded:
        break;
    default:
        return;
    }
    if (!rewindPending_ && clock_.report(toMilliseconds(seconds), steadyNow()))
        changes_.position = true;
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
        jumpTo(0);
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
