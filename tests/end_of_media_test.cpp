#include "lyrics/end_of_media.h"
#include "player/media_engine.h"

#include <gtest/gtest.h>

namespace {

using EndOfMedia::decide;

TEST(EndOfMedia, NothingUnlessTheMediaReallyEnded) {
    for (int state : {0, 1, 2, 3, 9, 10})
        EXPECT_FALSE(decide(PlayMode::Advance, PlayState(state), 0, 3).has_value()) << state;
}

TEST(EndOfMedia, RepeatModeReplaysWhateverThePlaylist) {
    for (int count : {0, 3}) {
        const auto advance = decide(PlayMode::RepeatTrack, PlayState::MediaEnded, 0, count);
        ASSERT_TRUE(advance.has_value());
        EXPECT_TRUE(advance->replay);
        EXPECT_EQ(advance->select, -1);
        EXPECT_FALSE(advance->showSlogan);
    }
}

TEST(EndOfMedia, AdvanceModeStepsWithTheSloganAndWrapsWithoutIt) {
    struct Case {
        int selected, count, select;
        bool slogan;
    };
    for (const Case& c :
         {Case{1, 5, 2, true}, Case{-1, 3, 0, true}, Case{4, 5, 0, false}, Case{0, 1, 0, false}}) {
        const auto advance = decide(PlayMode::Advance, PlayState::MediaEnded, c.selected, c.count);
        ASSERT_TRUE(advance.has_value());
        EXPECT_FALSE(advance->replay);
        EXPECT_EQ(advance->select, c.select);
        EXPECT_EQ(advance->showSlogan, c.slogan);
    }
    EXPECT_FALSE(decide(PlayMode::Advance, PlayState::MediaEnded, -1, 0).has_value());
}

} // namespace
