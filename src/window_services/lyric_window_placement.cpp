#include "window_services/lyric_window_placement.h"

#include "window_services/screen_placement.h"

QRect LyricWindowPlacement::placeOn(const DesktopScreen& screen, int height) {
    placedOn_ = screen;
    dragOpen_ = false;
    return ScreenPlacement::lyricOn(screen, height, draggedTop_);
}

std::optional<DesktopScreen>
LyricWindowPlacement::screenToFollow(const QList<DesktopScreen>& screens, const QString& chosenName,
                                     bool userChose) {
    const std::optional<DesktopScreen> screen = ScreenPlacement::screenFor(screens, chosenName);
    if (!screen || (!userChose && *screen == placedOn_))
        return std::nullopt;
    if (userChose)
        draggedTop_.reset();
    return screen;
}

LyricWindowPlacement::AfterRelease LyricWindowPlacement::released(bool buttonsDown,
                                                                  bool movedByWindowSystem) const {
    if (!dragOpen_ || buttonsDown)
        return AfterRelease::Nothing;
    return movedByWindowSystem ? AfterRelease::Settle : AfterRelease::End;
}

LyricWindowPlacement::DragEnd LyricWindowPlacement::dragEnded(const QList<DesktopScreen>& screens,
                                                              const QRect& geometry,
                                                              bool boundToItsScreen) {
    const std::optional<DesktopScreen> under =
        boundToItsScreen ? placedOn_ : ScreenPlacement::screenMostlyUnder(screens, geometry);
    if (!under)
        return {};
    draggedTop_ = ScreenPlacement::draggedTop(*under, geometry);
    if (under->name == placedOn_.name && under->geometry == placedOn_.geometry)
        return {DragEnd::Kind::RestsHere, placedOn_};
    return {DragEnd::Kind::MovesTo, *under};
}
