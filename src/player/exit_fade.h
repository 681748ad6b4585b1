#pragma once

// The fade that ends the program after a close request: every step lowers the engine
// volume by 5 and the window's fade level (its opacity, 0..255) by 20, and the program
// ends on the first step that finds the level below 21 or the volume below 1.
namespace ExitFade {

inline constexpr int StartLevel = 255;

// Both fade timers tick on the coarse timer period of the desktop the player was designed on
// (15.6 ms; 16 in whole milliseconds), so the thirteen steps from full volume take about
// 200 ms: long enough to see the window fade and hear the volume drop.
inline constexpr int TimerPeriodMs = 16;

inline bool isDone(int volume, int fadeLevel) {
    return fadeLevel < 21 || volume < 1;
}

inline int nextVolume(int volume) {
    return volume - 5 < 0 ? 0 : volume - 5;
}

inline int nextLevel(int fadeLevel) {
    return fadeLevel - 20;
}

// Window opacity of a fade level; levels outside a byte are held at its bounds.
inline double opacity(int fadeLevel) {
    const int level = fadeLevel < 0 ? 0 : (fadeLevel > 255 ? 255 : fadeLevel);
    return level / 255.0;
}

} // namespace ExitFade
