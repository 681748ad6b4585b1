#pragma once

// What follows the end of a track. The values are those of the play-mode caption the two
// mode buttons write, "1" and "2".
enum class PlayMode {
    RepeatTrack = 1,
    Advance = 2,
};
