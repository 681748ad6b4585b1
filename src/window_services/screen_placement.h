#pragma once

#include "window_services/screen_geometry.h"

#include <QList>
#include <QRect>
#include <optional>

// Which screen the desktop lyric belongs to, and where on it. The lyric is as wide as its
// screen and rests on the panel at the screen's bottom, unless the user dragged it to another
// height, which is then kept within the work area. Its toolbar floats just above it.
namespace ScreenPlacement {

// The screen named remembered when it is present, else the primary; none without screens.
std::optional<DesktopScreen> screenFor(const QList<DesktopScreen>& screens,
                                       const QString& remembered);

// The screen that holds the largest part of area; none when no screen holds any of it.
std::optional<DesktopScreen> screenMostlyUnder(const QList<DesktopScreen>& screens,
                                               const QRect& area);

// The lyric window of height on screen. draggedTop is the height the user dragged it to,
// from the screen's top edge; none when it rests on the panel.
QRect lyricOn(const DesktopScreen& screen, int height, std::optional<int> draggedTop);

// The height a lyric window dropped at window after a drag keeps on screen, from the
// screen's top edge; none when it was dropped where it rests on the panel.
std::optional<int> draggedTop(const DesktopScreen& screen, const QRect& window);

// The toolbar's place: centred on the lyric's screen, its bottom edge on the lyric window's
// top edge, unless that would cross the screen's edge.
QPoint toolbarAbove(const QRect& screen, int lyricTop, const QSize& toolbar);

// Where a window at window goes to lie wholly inside screen, moved no further than it must;
// a window larger than the screen keeps its top-left corner on it.
QPoint insideScreen(const QRect& window, const QRect& screen);

} // namespace ScreenPlacement
