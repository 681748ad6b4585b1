#pragma once

#include <optional>

// Stepping through the playlist. Indexes are list rows; -1 means nothing is selected.
namespace PlaylistNavigation {

struct Step {
    int select; // the row to select
    bool play;  // whether the selected entry is then played
};

// The Next button: the entry after the selection (the first one when nothing is
// selected) is selected and played; from the last entry it wraps to the first without
// interrupting the track that plays. Nothing on an empty list.
std::optional<Step> next(int selected, int count);

// The Previous button: the entry before the selection is selected and played; from the
// first entry it wraps to the last without interrupting the track that plays. With
// nothing selected it plays the last entry. Nothing on an empty list.
std::optional<Step> previous(int selected, int count);

} // namespace PlaylistNavigation
