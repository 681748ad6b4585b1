#pragma once

// What the engine's parts (its media and clock in mpv_engine.cpp, its transport in
// mpv_engine_transport.cpp, and mpv's events in mpv_engine_events.cpp) share.

#include <QLoggingCategory>
#include <QtGlobal>
#include <chrono>
#include <cmath>
#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcMpv)
// Off unless asked for (QT_LOGGING_RULES="vellora.startup.debug=true"): the start-up benchmark
// reads from it when libmpv was ready and when the first sound began.
Q_DECLARE_LOGGING_CATEGORY(lcStartup)

namespace mpvengine {

// The reply ids of the observed properties.
enum ObservedProperty : std::uint64_t {
    ObservedDuration = 1,
    ObservedEofReached,
    ObservedPausedForCache,
    ObservedSpeed,
    ObservedTimePos,
};

inline qint64 steadyNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline qint64 toMilliseconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? std::llround(seconds * 1000) : 0;
}

long long millisecondsSinceEpoch();

} // namespace mpvengine
