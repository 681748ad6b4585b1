#include "player/playback_clock.h"

#include <cmath>

qint64 PlaybackClock::positionAt(qint64 now) const {
    if (rate_ == 0 || now <= anchorTime_)
        return anchor_;
    return anchor_ + std::llround(double(now - anchorTime_) * rate_);
}

void PlaybackClock::set(qint64 position, double rate, qint64 now) {
    anchor_ = position < 0 ? 0 : position;
    anchorTime_ = now;
    rate_ = std::isfinite(rate) && rate > 0 ? rate : 0;
}

bool PlaybackClock::report(qint64 position, qint64 now) {
    const qint64 expected = positionAt(now);
    const bool running = rate_ > 0;
    if (position >= expected - (running ? LateTolerance : 0) &&
        position <= expected + (running ? AheadTolerance : 0))
        return false;
    set(position, rate_, now);
    return true;
}
