#include "player/playlist_navigation.h"

namespace PlaylistNavigation {

std::optional<Step> next(int selected, int count) {
    if (count <= 0)
        return std::nullopt;
    if (selected + 1 == count)
        return Step{0, false};
    return Step{selected < 0 ? 0 : selected + 1, true};
}

std::optional<Step> previous(int selected, int count) {
    if (count <= 0)
        return std::nullopt;
    if (selected == 0)
        return Step{count - 1, false};
    return Step{selected < 0 ? count - 1 : selected - 1, true};
}

} // namespace PlaylistNavigation
