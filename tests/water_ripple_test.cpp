#include "forms/water_ripple.h"

#include <QImage>
#include <climits>
#include <gtest/gtest.h>

static QImage windowPicture() {
    return QImage(QStringLiteral(":/skin/Picture1.bmp"));
}

namespace {

QImage waterArea(const QImage& source) {
    return source.copy(0, 0, source.width(), std::min(source.height(), 96))
        .convertToFormat(QImage::Format_RGB32);
}

// Ticks until a tick reports no change, failing if that takes more than limit.
int ticksUntilStill(WaterRipple& water, int limit) {
    int ticks = 0;
    while (!water.WaterTimer().isEmpty()) {
        if (++ticks > limit) {
            ADD_FAILURE() << "still rippling after " << limit << " ticks";
            break;
        }
    }
    return ticks;
}

// Still water must cost no repaint; a press must show at once, every changed pixel must lie
// inside the reported rectangle (the caller repaints nothing else), and the water must then
// return to exactly the source.
TEST(WaterRipple, PressRipplesWithinTheReportedAreaThenSettlesToTheSource) {
    const QImage source = windowPicture();
    ASSERT_EQ(source.size(), QSize(328, 98));
    WaterRipple water;
    water.WaterInit(source);
    EXPECT_TRUE(water.WaterTimer().isEmpty());
    EXPECT_EQ(water.picture(), waterArea(source));

    water.WaterMouseAction(164, 48, 60, 500);

    QImage before = water.picture();
    int ticks = 0;
    for (QRect changed = water.WaterTimer(); !changed.isEmpty(); changed = water.WaterTimer()) {
        const QImage& now = water.picture();
        if (ticks == 0) {
            EXPECT_TRUE(changed.contains(164, 48));
            EXPECT_NE(now, before);
        }
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != before.pixel(x, y) && !changed.contains(x, y))
                    FAIL() << "pixel " << x << "," << y << " changed outside " << ticks;
        before = now;
        // Measured: 515 ticks; the bound leaves room for tuning.
        ASSERT_LT(++ticks, 1200);
    }
    EXPECT_GT(ticks, 50);
    EXPECT_FALSE(water.isRippling());
    EXPECT_EQ(water.picture(), waterArea(source));
    EXPECT_TRUE(water.WaterTimer().isEmpty());
}

TEST(WaterRipple, PointsOutsideOrOnTheEdgeAndExtremeValuesAreSafe) {
    WaterRipple water;
    water.WaterInit(windowPicture());
    for (const QPoint outside : {QPoint(-1, 10), QPoint(10, -1), QPoint(328, 10), QPoint(10, 96),
                                 QPoint(INT_MIN, INT_MAX), QPoint(INT_MAX, INT_MIN)})
        water.WaterMouseAction(outside.x(), outside.y(), 60, 500);
    EXPECT_TRUE(water.WaterTimer().isEmpty());

    for (const QPoint edge : {QPoint(0, 0), QPoint(327, 0), QPoint(0, 95), QPoint(327, 95)}) {
        water.WaterMouseAction(edge.x(), edge.y(), 60, 500);
        water.WaterMouseAction(edge.x(), edge.y(), INT_MAX, INT_MAX);
        water.WaterMouseAction(edge.x(), edge.y(), INT_MIN, INT_MIN);
        water.WaterMouseAction(edge.x(), edge.y(), 0, 0);
        EXPECT_FALSE(water.WaterTimer().isEmpty());
    }
    ticksUntilStill(water, WaterRipple::MaxTicksAfterAction);
    EXPECT_FALSE(water.isRippling());
}

TEST(WaterRipple, NullAndOddSizedSourcesAreHandled) {
    WaterRipple water;
    water.WaterInit(QImage());
    water.WaterMouseAction(0, 0, 60, 500);
    EXPECT_TRUE(water.WaterTimer().isEmpty());
    EXPECT_TRUE(water.picture().isNull());

    QImage tall(3, 200, QImage::Format_Indexed8);
    tall.setColorCount(1);
    tall.setColor(0, qRgb(10, 20, 30));
    tall.fill(0);
    QImage dot(1, 1, QImage::Format_ARGB32);
    dot.fill(qRgba(200, 100, 50, 128));
    for (const QImage& odd : {dot, tall}) {
        water.WaterInit(odd);
        EXPECT_EQ(water.picture().size(), QSize(odd.width(), std::min(odd.height(), 96)));
        water.WaterMouseAction(0, 0, 60, 500);
        water.WaterMouseAction(odd.width() - 1, 50, 5, 80);
        ticksUntilStill(water, WaterRipple::MaxTicksAfterAction);
        EXPECT_EQ(water.picture(), waterArea(odd));
    }
}

} // namespace
