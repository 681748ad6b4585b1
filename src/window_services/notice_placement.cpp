#include "window_services/notice_placement.h"

#include <algorithm>

namespace NoticePlacement {

namespace {

// Between a surface and a notice beside it.
constexpr int Gap = 4;

bool shown(Surface surface, const Situation& situation) {
    switch (surface) {
    case Surface::LyricStrip:
        return situation.mainWindowShown;
    case Surface::DesktopLyric:
        return situation.desktopLyricShown;
    case Surface::None:
        break;
    }
    return false;
}

} // namespace

Surface choose(const Situation& situation) {
    if (shown(situation.askedFrom, situation))
        return situation.askedFrom;
    if (situation.mainWindowShown && situation.mainWindowActive)
        return Surface::LyricStrip;
    if (situation.desktopLyricShown)
        return Surface::DesktopLyric;
    if (situation.mainWindowShown)
        return Surface::LyricStrip;
    return Surface::None;
}

QPoint position(Surface surface, const QRect& anchor, const QSize& size, const QRect& screen) {
    const int x = anchor.center().x() - size.width() / 2;
    const int above = anchor.top() - Gap - size.height();
    const int below = anchor.bottom() + 1 + Gap;
    // Outside the surface, so the notice covers neither its text nor the place the user
    // clicked: the strip is the main window's foot, the desktop lyric sits low on the screen.
    int y = surface == Surface::LyricStrip ? below : above;
    if (screen.isNull())
        return {x, y};
    if (y == below && below + size.height() > screen.bottom() + 1)
        y = above;
    else if (y == above && above < screen.top())
        y = below;
    // A notice wider or taller than the screen keeps its top-left corner on it.
    return {std::max(screen.left(), std::min(x, screen.right() + 1 - size.width())),
            std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height()))};
}

} // namespace NoticePlacement
