#include "lyrics/tick_timing.h"

#include <algorithm>
#include <cmath>

namespace TickTiming {

std::optional<int> untilNextSecond(const std::optional<MediaClock>& clock) {
    if (!clock || !(clock->rate > 0) || !std::isfinite(clock->position) ||
        !std::isfinite(clock->rate))
        return std::nullopt;
    const double position = std::max(0.0, clock->position);
    // Less a nanosecond, so that floating-point noise in a position of whole milliseconds
    // cannot push the wake a millisecond late.
    const double milliseconds =
        std::ceil((std::floor(position) + 1 - position) / clock->rate * 1000 - 1e-6);
    // At least one: a timer of 0 would spin while the engine still reads the old second. At
    // most an hour, so a crawling rate cannot overflow the timer.
    return int(std::clamp(milliseconds, 1.0, 3600.0 * 1000));
}

} // namespace TickTiming
