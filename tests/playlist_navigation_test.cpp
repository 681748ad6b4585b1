#include "player/playlist_navigation.h"

#include <gtest/gtest.h>

namespace {

struct StepCase {
    int selected;
    int count;
    bool moves;
    int select;
    bool play;
};

void expectStep(const std::optional<PlaylistNavigation::Step>& step, const StepCase& c) {
    ASSERT_EQ(step.has_value(), c.moves);
    if (step) {
        EXPECT_EQ(step->select, c.select);
        EXPECT_EQ(step->play, c.play);
    }
}

class NextEntry : public ::testing::TestWithParam<StepCase> {};
TEST_P(NextEntry, StepsForwardAndWrapsWithoutPlaying) {
    expectStep(PlaylistNavigation::next(GetParam().selected, GetParam().count), GetParam());
}
INSTANTIATE_TEST_SUITE_P(
    PlaylistNavigation, NextEntry,
    ::testing::Values(StepCase{0, 0, false, 0, false}, StepCase{-1, 0, false, 0, false},
                      StepCase{-1, 3, true, 0, true}, StepCase{0, 3, true, 1, true},
                      StepCase{2, 3, true, 0, false}, StepCase{0, 1, true, 0, false}));

class PreviousEntry : public ::testing::TestWithParam<StepCase> {};
TEST_P(PreviousEntry, StepsBackAndWrapsWithoutPlaying) {
    expectStep(PlaylistNavigation::previous(GetParam().selected, GetParam().count), GetParam());
}
INSTANTIATE_TEST_SUITE_P(PlaylistNavigation, PreviousEntry,
                         ::testing::Values(StepCase{0, 0, false, 0, false},
                                           StepCase{2, 3, true, 1, true},
                                           StepCase{0, 3, true, 2, false},
                                           StepCase{-1, 3, true, 2, true},
                                           StepCase{0, 1, true, 0, false}));

} // namespace
