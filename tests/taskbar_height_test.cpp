#include "fakes/fake_screen_geometry.h"
#include "window_services/taskbar_height.h"

#include <gtest/gtest.h>

namespace {

TEST(GetTaskbarHeight, TwipsOfTheStripBelowTheWorkArea) {
    const struct {
        const char* name;
        QRect screen;
        QRect workArea;
        qint16 twips;
    } rows[] = {
        {"40-pixel panel at the bottom", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 600},
        {"panel at the top", {0, 0, 1920, 1080}, {0, 40, 1920, 1040}, 0},
        {"panel on the left", {0, 0, 1920, 1080}, {40, 0, 1880, 1080}, 0},
        {"panel on the right", {0, 0, 1920, 1080}, {0, 0, 1880, 1080}, 0},
        {"no panel", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 0},
        {"panels at the top and the bottom", {0, 0, 1366, 768}, {0, 25, 1366, 695}, 720},
        {"primary screen right of another", {1920, 0, 1280, 1024}, {1920, 0, 1280, 994}, 450},
        {"primary screen below another", {0, 1080, 1920, 1080}, {0, 1080, 1920, 1032}, 720},
        {"work area unknown", {0, 0, 1920, 1080}, {}, 16200},
        {"no screen", {}, {}, 0},
    };
    for (const auto& row : rows) {
        FakeScreenGeometry screen;
        screen.screenRect = row.screen;
        screen.workRect = row.workArea;
        EXPECT_EQ(GetTaskbarHeight(screen), row.twips) << row.name;
    }
}

TEST(GetTaskbarHeight, StripsBeyondSixteenBitsAreClamped) {
    FakeScreenGeometry screen;
    screen.screenRect = QRect(0, 0, 4000, 3000);
    screen.workRect = QRect(0, 0, 4000, 815); // 2185 pixels below: 32775 twips
    EXPECT_EQ(GetTaskbarHeight(screen), 32767);
    screen.workRect = QRect(0, 0, 4000, 816); // 32760 twips still fit
    EXPECT_EQ(GetTaskbarHeight(screen), 32760);
    screen.workRect = QRect(0, 0, 4000, 6000); // reaching far below the screen
    EXPECT_EQ(GetTaskbarHeight(screen), -32768);
}

} // namespace
