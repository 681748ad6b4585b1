#pragma once

#include <QString>
#include <optional>

// What the main window does when the engine reports the end of the current media.
namespace EndOfMedia {

inline constexpr auto Slogan = u"Quarnet 音你而酷！";

struct Advance {
    bool replay;     // tell the engine to play the current media again first
    int select;      // the playlist row to select, -1 to leave the selection alone
    bool showSlogan; // draw the slogan on the desktop lyric between the two tracks
    // In every case the selected entry is then played through the deferred play.
};

// playMode is the play-mode caption: 1 repeats the track, anything else advances through
// the playlist, wrapping from the last entry to the first (without the slogan). Nothing
// happens unless the engine really reads "media ended", or on an empty playlist.
std::optional<Advance> decide(const QString& playMode, int playState, int selected, int count);

} // namespace EndOfMedia
