#include "platform/process/start_platform.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

TEST(StartPlatform, XWhileAnXDisplayAnswersElseWaylandElseARefusal) {
    const struct {
        const char* name;
        DisplaysFound found;
        QByteArray platform;
        bool notice;
    } rows[] = {
        {"X11 alone", {{}, true, false}, "xcb", false},
        {"Xwayland under a compositor", {{}, true, true}, "xcb", false},
        {"Wayland alone", {{}, false, true}, "wayland", true},
        {"nothing", {{}, false, false}, {}, false},
        {"asked for Wayland", {"wayland", true, true}, "wayland", true},
        {"asked for offscreen", {"offscreen", false, false}, "offscreen", false},
        {"asked for X11 without one", {"xcb", false, true}, {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StartPlatform start = chooseStartPlatform(row.found);
        EXPECT_EQ(start.qpaPlatform, row.platform);
        EXPECT_EQ(start.refusal.isEmpty(), !row.platform.isEmpty());
        EXPECT_FALSE(start.refusal.contains(u'\n'));
        EXPECT_EQ(!start.notice.isEmpty(), row.notice);
    }
}

// The program itself, with no display of either kind: one line and status 1, no abort.
TEST(StartPlatform, WithoutAnyDisplayTheProgramSaysSoAndEnds) {
    QProcess player;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    // A runtime folder without a compositor's socket, so no default Wayland display either.
    environment.insert("XDG_RUNTIME_DIR", QDir::tempPath());
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    player.setProcessEnvironment(environment);
    player.start(VELLORA_PROGRAM, QStringList());
    ASSERT_TRUE(player.waitForFinished(30000));
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 1);
    const QByteArray said = player.readAllStandardError();
    EXPECT_EQ(said.count('\n'), 1) << said.constData();
    EXPECT_TRUE(said.contains("DISPLAY")) << said.constData();
}

} // namespace
