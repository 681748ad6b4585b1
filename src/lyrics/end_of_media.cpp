#include "lyrics/end_of_media.h"

#include "player/leading_number.h"
#include "player/media_engine.h"

namespace EndOfMedia {

std::optional<Advance> decide(const QString& playMode, int playState, int selected, int count) {
    if (playState != PlayState::MediaEnded)
        return std::nullopt;
    if (leadingNumber(playMode) == 1.0)
        return Advance{true, -1, false};
    if (count <= 0)
        return std::nullopt;
    if (selected + 1 == count)
        return Advance{false, 0, false};
    return Advance{false, selected < 0 ? 0 : selected + 1, true};
}

} // namespace EndOfMedia
