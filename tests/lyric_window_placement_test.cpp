#include "window_services/lyric_window_placement.h"
#include "window_services/lyric_window_shape.h"

#include <gtest/gtest.h>

namespace {

using Kind = LyricWindowPlacement::DragEnd::Kind;
using AfterRelease = LyricWindowPlacement::AfterRelease;

// Two monitors of unequal size, a panel along the bottom of the first.
const DesktopScreen Left{"DP-1", {}, QRect(0, 0, 1100, 1080), QRect(0, 0, 1100, 1040)};
const DesktopScreen Right{"DP-2", {}, QRect(1100, 0, 820, 1080), QRect(1100, 0, 820, 1080)};
const QList<DesktopScreen> Both{Left, Right};
constexpr int Height = 111;

TEST(LyricWindowPlacement, ADragEndsOnTheScreenThatHoldsMostOfTheWindow) {
    const struct {
        const char* name;
        QRect dropped;
        bool boundToItsScreen;
        Kind kind;
        DesktopScreen screen;
        int nextTop; // of the next placement on the screen it ended on
    } rows[] = {
        {"up within its screen", QRect(0, 600, 1100, Height), false, Kind::RestsHere, Left, 600},
        {"mostly onto the other", QRect(900, 600, 1100, Height), false, Kind::MovesTo, Right, 600},
        {"off every screen", QRect(5000, 600, 1100, Height), false, Kind::Nothing, {}, 929},
        {"a layer surface stays", QRect(900, 600, 1100, Height), true, Kind::RestsHere, Left, 600},
    };
    for (const auto& row : rows) {
        LyricWindowPlacement placement;
        EXPECT_EQ(placement.placeOn(Left, Height), QRect(0, 929, 1100, Height)) << row.name;
        const LyricWindowPlacement::DragEnd end =
            placement.dragEnded(Both, row.dropped, row.boundToItsScreen);
        EXPECT_EQ(end.kind, row.kind) << row.name;
        if (row.kind == Kind::Nothing)
            continue;
        EXPECT_EQ(end.screen, row.screen) << row.name;
        EXPECT_EQ(placement.placeOn(end.screen, Height).top(), row.nextTop) << row.name;
    }
}

TEST(LyricWindowPlacement, ScreensFollowedOnlyWhenTheyChangeAndAChoiceRestsTheWindowAgain) {
    LyricWindowPlacement placement;
    placement.placeOn(Right, Height);
    placement.dragEnded(Both, QRect(1100, 300, 820, Height), false);
    EXPECT_EQ(placement.screenToFollow(Both, "DP-2", false), std::nullopt);
    EXPECT_EQ(placement.placeOn(Right, Height).top(), 300); // the dragged height is kept

    const std::optional<DesktopScreen> chosen = placement.screenToFollow(Both, "DP-2", true);
    ASSERT_EQ(chosen, Right);
    EXPECT_EQ(placement.placeOn(*chosen, Height).top(), 1080 - Height);

    // The chosen screen gone: the primary.
    EXPECT_EQ(placement.screenToFollow({Left}, "DP-2", false), Left);
    EXPECT_EQ(placement.screenToFollow({}, "DP-2", false), std::nullopt);
}

TEST(LyricWindowPlacement, AReleaseEndsOnlyAnOpenDragAndAPlacementClosesIt) {
    LyricWindowPlacement placement;
    EXPECT_EQ(placement.released(false, false), AfterRelease::Nothing);
    placement.pressed();
    EXPECT_TRUE(placement.moveBelongsToDrag());
    EXPECT_EQ(placement.released(true, false), AfterRelease::Nothing);
    EXPECT_EQ(placement.released(false, true), AfterRelease::Settle);
    EXPECT_EQ(placement.released(false, false), AfterRelease::End);
    placement.placeOn(Left, Height);
    EXPECT_FALSE(placement.moveBelongsToDrag());
    EXPECT_EQ(placement.released(false, true), AfterRelease::Nothing);
}

TEST(LyricWindowShapeRedraw, NewGlyphsTakeTheCutDownAndThePictureGoesFirstWhereNothingShows) {
    using Cut = LyricWindowShape::Cut;
    const QRegion glyphs(10, 10, 200, 40);
    const struct {
        LyricWindowShape shape;
        bool newGlyphs;
        LyricWindowShape meanwhile;
        bool pictureFirst;
    } rows[] = {
        {{Cut::Visible, glyphs}, true, {Cut::Visible, {}}, true},
        {{Cut::VisibleWithoutInput, glyphs}, true, {Cut::VisibleWithoutInput, {}}, true},
        {{Cut::Visible, glyphs}, false, {Cut::Visible, glyphs}, false},
        {{Cut::InputOnly, glyphs}, true, {Cut::InputOnly, glyphs}, false},
    };
    for (const auto& row : rows) {
        const LyricWindowShape::Redraw redraw = row.shape.redrawn(row.newGlyphs);
        EXPECT_EQ(redraw.meanwhile, row.meanwhile);
        EXPECT_EQ(redraw.pictureFirst, row.pictureFirst);
    }
}

} // namespace
