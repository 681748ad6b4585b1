#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a short notice about lyrics is shown: on a surface the user is looking at, beside
// what it shows and never in it, so no caption or lyric picture changes for it.
namespace NoticePlacement {

enum class Surface {
    None,         // no surface of the player is in view; the notice is dropped
    LyricStrip,   // the main window's lyric strip
    DesktopLyric, // the desktop lyric
};

struct Situation {
    bool mainWindowShown = false; // on screen and not minimised
    bool mainWindowActive = false;
    bool desktopLyricShown = false;
    Surface askedFrom = Surface::None; // whose lyrics menu the user used last
};

// The surface whose menu the user used last, while it is shown; else the main window when
// it is the active one; else the desktop lyric, which stays above every window; else the
// main window, which is at least on screen.
Surface choose(const Situation& situation);

// Top-left corner of a notice of the given size for a surface whose visible area is anchor,
// always outside it: just under the lyric strip (above it when the screen has no room
// below), just above the desktop lyric (below it when the screen has no room above).
// Centred across the anchor either way, and kept within the screen (a null screen: none is
// known).
QPoint position(Surface surface, const QRect& anchor, const QSize& size, const QRect& screen);

} // namespace NoticePlacement
