#include "window_services/monitor_work_areas.h"

#include <gtest/gtest.h>

namespace {

// Two monitors side by side on a 1920 × 1080 X screen, as xrandr --setmonitor makes them; Qt
// gives each its whole geometry as its work area.
const QRect Left(0, 0, 1100, 1080);
const QRect Right(1100, 0, 820, 1080);
constexpr quint32 All = 0xFFFFFFFF;
enum { L, R, T, B };

// _NET_WM_STRUT_PARTIAL along one edge: its depth and its range.
QList<quint32> partial(int edge, quint32 depth, quint32 start, quint32 end) {
    QList<quint32> words(12, 0);
    words[edge] = depth;
    words[4 + 2 * edge] = start;
    words[5 + 2 * edge] = end;
    return words;
}

QList<QRect> workAreas(const QList<QRect>& monitors, DesktopReservations desktop) {
    QList<DesktopScreen> screens;
    for (const QRect& monitor : monitors)
        screens << DesktopScreen{{}, {}, monitor, monitor};
    desktop.root = QSize(1920, 1080);
    QList<QRect> areas;
    for (const DesktopScreen& screen : MonitorWorkAreas::applied(screens, desktop))
        areas << screen.workArea;
    return areas;
}

TEST(MonitorWorkAreas, EachMonitorLessWhatTheStrutsAlongItReserve) {
    // clang-format off
    const struct {
        const char* name;
        QList<QRect> monitors;
        QList<QList<quint32>> struts;
        QList<QRect> expected;
    } rows[] = {
        {"bottom panel on the left monitor", {Left, Right}, {partial(B, 40, 0, 1099)}, {{0, 0, 1100, 1040}, Right}},
        {"plain strut: the whole edge", {Left, Right}, {{0, 0, 0, 40}}, {{0, 0, 1100, 1040}, {1100, 0, 820, 1040}}},
        {"top panel on the right", {Left, Right}, {partial(T, 30, 1100, 1919)}, {Left, {1100, 30, 820, 1050}}},
        {"left panel", {Left, Right}, {partial(L, 50, 0, 1079)}, {{50, 0, 1050, 1080}, Right}},
        {"right panel", {Left, Right}, {partial(R, 60, 0, 1079)}, {Left, {1100, 0, 760, 1080}}},
        {"panel on the inner edge of the right monitor", {Left, Right}, {partial(L, 1148, 0, 1079)}, {Left, {1148, 0, 772, 1080}}},
        {"shorter monitor's panel, from the X screen's bottom", {Left, {1100, 0, 820, 720}}, {partial(B, 400, 1100, 1919)}, {Left, {1100, 0, 820, 680}}},
        {"the deeper of two on one edge", {Left}, {partial(B, 40, 0, 1099), partial(B, 64, 0, 500)}, {{0, 0, 1100, 1016}}},
        {"deeper than the screen", {Left, Right}, {partial(B, 5000, 0, 1919)}, {Left, Right}},
        {"negative depth as a cardinal", {Left, Right}, {{0, 0, 0, All}}, {Left, Right}},
        {"range past the screen", {Left, Right}, {partial(B, 40, 1500, All)}, {Left, {1100, 0, 820, 1040}}},
        {"range ending before its start", {Left, Right}, {partial(B, 40, 900, 100)}, {Left, Right}},
        {"too few words", {Left}, {{40, 40, 40}}, {Left}},
        {"together leaving nothing", {Left}, {partial(L, 600, 0, 1079), partial(R, 1400, 0, 1079)}, {Left}},
    }; // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(workAreas(row.monitors, {.listsClients = true, .struts = row.struts}),
                  row.expected)
            << row.name;
}

TEST(MonitorWorkAreas, WhoseWordCountsWhere) {
    const QList<QList<quint32>> panel{partial(B, 40, 0, 1919)};
    // clang-format off
    const struct {
        const char* name;
        QList<QRect> monitors;
        DesktopReservations desktop;
        QList<QRect> expected;
    } rows[] = {
        {"the desktop's own areas, by the monitor they lie on", {Left, Right},
         {.listsClients = true, .struts = panel, .monitorWorkAreas = {{1100, 32, 820, 1048}, {0, 32, 1100, 1048}}},
         {{0, 32, 1100, 1048}, {1100, 32, 820, 1048}}},
        {"under Xwayland, Qt's", {Left, Right}, {.listsClients = true, .struts = panel, .xwayland = true}, {Left, Right}},
        {"one monitor: the manager's work area, margins and all", {Left},
         {.listsClients = true, .struts = panel, .workArea = QRect(8, 0, 1912, 1030)}, {{8, 0, 1092, 1030}}},
        {"one monitor without a work area: the struts", {Left}, {.listsClients = true, .struts = panel}, {{0, 0, 1100, 1040}}},
        {"several monitors: the struts, not the one work area", {Left, Right},
         {.listsClients = true, .struts = panel, .workArea = QRect(0, 0, 1920, 1040)},
         {{0, 0, 1100, 1040}, {1100, 0, 820, 1040}}},
        {"no list of windows to read: Qt's", {Left, Right}, {.workArea = QRect(0, 0, 1920, 1040)}, {Left, Right}},
    }; // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(workAreas(row.monitors, row.desktop), row.expected) << row.name;
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
