#include "forms/notice_placement.h"

#include <algorithm>

namespace NoticePlacement {

namespace {

// Between the desktop lyric and a notice beside it.
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
    int y = anchor.bottom() + 1 - size.height();
    if (surface == Surface::DesktopLyric) {
        y = anchor.top() - Gap - size.height();
        if (!screen.isNull() && y < screen.top())
            y = anchor.bottom() + 1 + Gap;
    }
    if (screen.isNull())
        return {x, y};
    // A notice wider or taller than the screen keeps its top-left corner on it.
    return {std::max(screen.left(), std::min(x, screen.right() + 1 - size.width())),
            std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height()))};
}

} // namespace NoticePlacement
