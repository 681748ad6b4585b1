#pragma once

#include "player/media_engine.h"
#include "player/play_mode.h"

#include <optional>

// What the player does when the engine reports the end of the current media.
namespace EndOfMedia {

inline constexpr auto Slogan = u"Quarnet 音你而酷！";

struct Advance {
    bool replay;     // tell the engine to play the current media again first
    int select;      // the playlist row to select, -1 to leave the selection alone
    bool showSlogan; // draw the slogan on the desktop lyric between the two tracks
    // In every case the selected entry is then played through the deferred play.
};

// Repeating, the track plays again; advancing, the next entry plays, wrapping from the last
// entry to the first (without the slogan). Nothing happens unless the engine really reads
// "media ended", or on an empty playlist.
std::optional<Advance> decide(PlayMode mode, PlayState state, int selected, int count);

} // namespace EndOfMedia
