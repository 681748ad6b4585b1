#pragma once

#include "player/media_engine.h"

#include <optional>

// When the playback tick can next learn something by itself. Everything the tick shows
// changes only when the engine reports a change or when the position text ("mm:ss") moves on
// to the next whole second; between those a tick would find what the last one found.
namespace TickTiming {

// Milliseconds from now until the clock's position reaches its next whole second, rounded up
// so that a tick then reads the new second; empty while the position stands still.
std::optional<int> untilNextSecond(const std::optional<MediaClock>& clock);

} // namespace TickTiming
