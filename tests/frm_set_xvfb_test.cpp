#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/image_control.h"
#include "support/controls.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/x11_client.h"
#include "support/x_barrier.h"

#include <QGuiApplication>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Nothing here needs the session bus, whose library the leak checker would report.
[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

// The real pointer, moved through a connection of the test's own, so that the X server
// decides which window it is over and sends the crossing events that follow.
class ToolbarOnX : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.connected());
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        below.setGeometry(bar().geometry().adjusted(-50, -50, 50, 50));
        below.show();
        bar().show();
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return bar().windowHandle() && bar().windowHandle()->isExposed(); }));
    }

    FrmSet& bar() { return world.lyricWindows().frmSet(); }

    // Moves the pointer, and returns once Qt has handled what that made the server tell it.
    void pointTo(QPoint global) {
        x.warpPointer(global);
        ASSERT_TRUE(testsupport::qtHasHandledEventsSentSoFar(bar()));
    }
    void pointOff() { pointTo(bar().mapToGlobal(QPoint(200, -30))); }

    testsupport::X11Client x;
    TempFolder programFolder;
    FakeWorld world{programFolder.path()};
    QWidget below{nullptr, Qt::FramelessWindowHint};
};

bool shows(const ImageControl* control, const char* file) {
    const QImage shown = control->picture().toImage();
    return shown == QImage(QStringLiteral(":/skin/") + QString::fromLatin1(file))
                        .convertToFormat(shown.format());
}

TEST_F(ToolbarOnX, LeavingHidesTheBarOnlyAfterThePointerCrossedItsBareSurface) {
    FrmSet& toolbar = bar();
    pointOff();
    pointTo(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue")->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return shows(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue"), "BluePoi.bmp");
    }));
    pointOff();
    EXPECT_TRUE(toolbar.isVisible());

    pointTo(toolbar.mapToGlobal(QPoint(190, 15)));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return shows(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue"), "BlueNor.bmp");
    }));
    pointTo(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue")->mapToGlobal(QPoint(5, 5)));
    pointOff();
    EXPECT_TRUE(testsupport::waitUntil([&] { return !toolbar.isVisible(); }));
    EXPECT_TRUE(shows(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue"), "BlueNor.bmp"));
}

TEST_F(ToolbarOnX, TheKeyColouredMarginTakesNoInput) {
    // The pointer crosses the bare surface only in the last row, so the bar stays.
    const std::pair<QPoint, bool> rows[] = {
        {{0, 0}, false},    // rounded corner
        {{395, 10}, false}, // strip on the right
        {{100, 32}, false}, // strip below
        {{100, 14}, true},  // colour button
        {{190, 15}, true},  // bare surface
    };
    for (const auto& [local, toolbarTakesIt] : rows) {
        pointTo(bar().mapToGlobal(local));
        ASSERT_TRUE(bar().isVisible());
        EXPECT_EQ(x.childUnderPointer(), quint32(toolbarTakesIt ? bar().winId() : below.winId()))
            << local.x() << "," << local.y();
    }
}

} // namespace
