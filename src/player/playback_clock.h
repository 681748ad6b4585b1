#pragma once

#include <QtGlobal>

// Where the playing media is, kept between the engine's reports of it: a position at a
// moment and the rate it runs at since. Times are milliseconds of a steady clock chosen by
// the owner.
//
// Reports arrive a few times a second, each a little late: a report waits for the user
// interface thread, which may be busy for a while on a loaded machine, so it tells where the
// position was a moment ago. Taking every one would move the position back and forth by that
// lateness. So a report that agrees with where the position runs is not taken: one behind it
// by up to LateTolerance (that late it may have come), or ahead of it by up to AheadTolerance.
// One that disagrees more is taken, as a jump.
class PlaybackClock {
public:
    static constexpr qint64 LateTolerance = 500;
    static constexpr qint64 AheadTolerance = 100;

    qint64 positionAt(qint64 now) const;
    double rate() const { return rate_; }

    // Sets where the position is now and how fast it runs from here.
    void set(qint64 position, double rate, qint64 now);

    // Takes a report of the position if it disagrees with the running one; returns whether
    // it did, that is whether the position jumped. A standing position takes every change.
    bool report(qint64 position, qint64 now);

private:
    qint64 anchor_ = 0;
    qint64 anchorTime_ = 0;
    double rate_ = 0;
};
