// What the layer presenter takes from the compositor's word, without a compositor: how it
// reads its connection, and which outputs it takes as described.
#include "platform/presenters/layer_reading.h"

#include <QString>
#include <gtest/gtest.h>
#include <limits>

namespace {

// A connection whose calls answer as a row says: prepare_read fails (events wait) the given
// number of times, and dispatch_pending or read_events fails when told.
struct ScriptedConnection {
    int waitingTurns = 0;
    bool dispatchFails = false;
    bool readFails = false;
    QString calls = {};

    WaylandReading reading() {
        return {[this] {
                    calls += u'p';
                    // Past a thousand turns the reading would never have ended.
                    return waitingTurns-- > 0 && calls.size() < 1000 ? -1 : 0;
                },
                [this] {
                    calls += u'd';
                    return dispatchFails ? -1 : 0;
                },
                [this] {
                    calls += u'r';
                    return readFails ? -1 : 0;
                }};
    }
};

TEST(LayerReading, AFailingCallLosesTheConnectionAtOnce) {
    const struct {
        const char* name;
        ScriptedConnection connection;
        bool read;
        const char* calls;
    } rows[] = {
        {"nothing waiting", {}, true, "prd"},
        {"events waiting, dispatched first", {.waitingTurns = 2}, true, "pdpdprd"},
        {"a protocol error leaves events that dispatch never takes",
         {.waitingTurns = 1'000'000, .dispatchFails = true},
         false,
         "pd"},
        {"the compositor gone", {.readFails = true}, false, "pr"},
        {"dispatching after reading fails", {.dispatchFails = true}, false, "prd"},
    };
    for (auto row : rows) {
        EXPECT_EQ(readWayland(row.connection.reading()), row.read) << row.name;
        EXPECT_EQ(row.connection.calls, QString::fromLatin1(row.calls)) << row.name;
    }
}

TEST(LayerReading, OnlyAnOutputOfSaneSizeAndPlaceIsDescribed) {
    constexpr std::int32_t Most = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t x, y, width, height;
        std::optional<QRect> area;
    } rows[] = {
        {0, 0, 1920, 1080, QRect(0, 0, 1920, 1080)},
        {-1920, 0, 1280, 1024, QRect(-1920, 0, 1280, 1024)},
        {0, 0, 32768, 32768, QRect(0, 0, 32768, 32768)},
        {0, 0, 0, 1080, std::nullopt},
        {0, 0, 1920, -1, std::nullopt},
        {0, 0, 32769, 1080, std::nullopt},
        {0, 0, Most, Most, std::nullopt},
        {Most - 100, 0, 1920, 1080, std::nullopt},
        {0, std::numeric_limits<std::int32_t>::min(), 1920, 1080, std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(describedArea(row.x, row.y, row.width, row.height), row.area)
            << row.x << ',' << row.y << ' ' << row.width << 'x' << row.height;
}

} // namespace
