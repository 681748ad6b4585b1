#include "window_services/monitor_work_areas.h"

#include <gtest/gtest.h>

namespace {

// Two monitors side by side on a 1920 × 1080 X screen, as xrandr --setmonitor makes them.
const QRect Left(0, 0, 1100, 1080);
const QRect Right(1100, 0, 820, 1080);
const QRect ShortRight(1100, 0, 820, 720);
constexpr quint32 All = 0xFFFFFFFF;

// _NET_WM_STRUT_PARTIAL along one edge: its depth and its range.
QList<quint32> partial(int edge, quint32 depth, quint32 start, quint32 end) {
    QList<quint32> words(12, 0);
    words[edge] = depth;
    words[4 + 2 * edge] = start;
    words[5 + 2 * edge] = end;
    return words;
}
enum { L, R, T, B };

TEST(MonitorWorkAreas, EachMonitorLessWhatTheStrutsAlongItReserve) {
    const QSize root(1920, 1080);
    const struct {
        const char* name;
        QList<QRect> monitors;
        QList<QList<quint32>> struts;
        QList<QRect> expected;
    } rows[] = {
        {"a bottom panel on the left monitor only",
         {Left, Right},
         {partial(B, 40, 0, 1099)},
         {{0, 0, 1100, 1040}, Right}},
        {"a plain strut spans the whole edge",
         {Left, Right},
         {{0, 0, 0, 40}},
         {{0, 0, 1100, 1040}, {1100, 0, 820, 1040}}},
        {"a top panel on the right monitor",
         {Left, Right},
         {partial(T, 30, 1100, 1919)},
         {Left, {1100, 30, 820, 1050}}},
        {"a left panel", {Left, Right}, {partial(L, 50, 0, 1079)}, {{50, 0, 1050, 1080}, Right}},
        {"a right panel", {Left, Right}, {partial(R, 60, 0, 1079)}, {Left, {1100, 0, 760, 1080}}},
        {"a panel on the inner edge of the right monitor takes the whole left one in its strut",
         {Left, Right},
         {partial(L, 1148, 0, 1079)},
         {Left, {1148, 0, 772, 1080}}},
        {"a shorter monitor's bottom panel, measured from the X screen's bottom",
         {Left, ShortRight},
         {partial(B, 400, 1100, 1919)},
         {Left, {1100, 0, 820, 680}}},
        {"the deeper of two struts on one edge",
         {Left},
         {partial(B, 40, 0, 1099), partial(B, 64, 0, 500)},
         {{0, 0, 1100, 1016}}},
        {"a strut deeper than the screen reserves no monitor whole",
         {Left, Right},
         {partial(B, 5000, 0, 1919)},
         {Left, Right}},
        {"a negative depth written as a cardinal", {Left, Right}, {{0, 0, 0, All}}, {Left, Right}},
        {"a range past the screen is cut to it",
         {Left, Right},
         {partial(B, 40, 1500, All)},
         {Left, {1100, 0, 820, 1040}}},
        {"a range that ends before it starts",
         {Left, Right},
         {partial(B, 40, 900, 100)},
         {Left, Right}},
        {"too few words", {Left}, {{40, 40, 40}}, {Left}},
        {"struts that together would leave nothing",
         {Left},
         {partial(L, 600, 0, 1079), partial(R, 1400, 0, 1079)},
         {Left}},
    };
    for (const auto& row : rows) {
        QList<DesktopScreen> screens;
        for (const QRect& monitor : row.monitors)
            screens << DesktopScreen{{}, {}, monitor, monitor};
        const QList<DesktopScreen> placed = MonitorWorkAreas::applied(
            screens, {.root = root, .listsClients = true, .struts = row.struts});
        QList<QRect> areas;
        for (const DesktopScreen& screen : placed)
            areas << screen.workArea;
        EXPECT_EQ(areas, row.expected) << row.name;
    }
}

TEST(MonitorWorkAreas, WhoseWordCountsWhere) {
    const QRect toolkit(0, 0, 1100, 1080); // what Qt gave each screen, its whole geometry
    const QList<QList<quint32>> bottomPanel{partial(B, 40, 0, 1919)};
    const struct {
        const char* name;
        QList<QRect> monitors;
        DesktopReservations desktop;
        QList<QRect> expected;
    } rows[] = {
        {"the desktop's own areas, by the monitor they lie on",
         {Left, Right},
         {.listsClients = true,
          .struts = bottomPanel,
          .monitorWorkAreas = {{1100, 32, 820, 1048}, {0, 32, 1100, 1048}}},
         {{0, 32, 1100, 1048}, {1100, 32, 820, 1048}}},
        {"under Xwayland, the toolkit's",
         {Left, Right},
         {.listsClients = true, .struts = bottomPanel, .xwayland = true},
         {toolkit, toolkit}},
        {"one monitor: the manager's work area, margins and all",
         {Left},
         {.listsClients = true, .struts = bottomPanel, .workArea = QRect(8, 0, 1912, 1030)},
         {{8, 0, 1092, 1030}}},
        {"one monitor without a work area: the struts",
         {Left},
         {.listsClients = true, .struts = bottomPanel},
         {{0, 0, 1100, 1040}}},
        {"several monitors: the struts, not the one work area",
         {Left, Right},
         {.listsClients = true, .struts = bottomPanel, .workArea = QRect(0, 0, 1920, 1040)},
         {{0, 0, 1100, 1040}, {1100, 0, 820, 1040}}},
        {"no list of windows to read: the toolkit's",
         {Left, Right},
         {.workArea = QRect(0, 0, 1920, 1040)},
         {toolkit, toolkit}},
    };
    for (const auto& row : rows) {
        QList<DesktopScreen> screens;
        for (const QRect& monitor : row.monitors)
            screens << DesktopScreen{{}, {}, monitor, toolkit};
        DesktopReservations desktop = row.desktop;
        desktop.root = QSize(1920, 1080);
        QList<QRect> areas;
        for (const DesktopScreen& screen : MonitorWorkAreas::applied(screens, desktop))
            areas << screen.workArea;
        EXPECT_EQ(areas, row.expected) << row.name;
    }
}

// Qt gives a screen of scale 2 half its pixels from the same corner; the panel's 40 pixels are
// 20 of the screen's own.
TEST(MonitorWorkAreas, AScaledScreenGetsItsAreaInItsOwnUnits) {
    const DesktopScreen screen{{}, {}, QRect(1100, 0, 410, 540), {}, 2};
    const QList<DesktopScreen> placed = MonitorWorkAreas::applied(
        {screen},
        {.root = QSize(1920, 1080), .listsClients = true, .struts = {partial(B, 40, 1100, 1919)}});
    EXPECT_EQ(placed.first().workArea, QRect(1100, 0, 410, 520));
}

} // namespace
