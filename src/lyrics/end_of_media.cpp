#include "lyrics/end_of_media.h"

#include "player/playlist_navigation.h"

namespace EndOfMedia {

std::optional<Advance> decide(PlayMode mode, PlayState state, int selected, int count) {
    if (state != PlayState::MediaEnded)
        return std::nullopt;
    if (mode == PlayMode::RepeatTrack)
        return Advance{true, -1, false};
    // The Next button's stepping; at the end of the list the first entry plays as well,
    // without the slogan, where the button only selects it.
    const auto step = PlaylistNavigation::next(selected, count);
    if (!step)
        return std::nullopt;
    return Advance{false, step->select, step->play};
}

} // namespace EndOfMedia
