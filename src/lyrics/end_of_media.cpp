#include "lyrics/end_of_media.h"

#include "player/leading_number.h"
#include "player/media_engine.h"
#include "player/playlist_navigation.h"

namespace EndOfMedia {

std::optional<Advance> decide(const QString& playMode, int playState, int selected, int count) {
    if (playState != PlayState::MediaEnded)
        return std::nullopt;
    if (leadingNumber(playMode) == 1.0)
        return Advance{true, -1, false};
    // The Next button's stepping; at the end of the list the first entry plays as well,
    // without the slogan, where the button only selects it.
    const auto step = PlaylistNavigation::next(selected, count);
    if (!step)
        return std::nullopt;
    return Advance{false, step->select, step->play};
}

} // namespace EndOfMedia
