// The installed-like program under KDE's KWin in its Wayland session (virtual backend) with
// Xwayland, as a user meets it: the desktop lyric and its toolbar are layer surfaces above a
// panel's exclusive zone; clicks from the compositor's own pointer (KWin's fake input) pass
// through the lyric's transparent pixels to X11 and Wayland windows beneath, and not
// through its glyphs. Screenshots come from KWin's screenshot interface, so they show what
// the compositor shows. The test script starts the compositor and names it in
// VELLORA_KWIN_WAYLAND_DISPLAY, VELLORA_KWIN_DISPLAY and VELLORA_KWIN_BUS.
#include "support/desktop_session.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using testsupport::changedPixels;
using testsupport::end;
using testsupport::launch;
using testsupport::LyricHeight;
using testsupport::pixelsOtherThan;
using testsupport::RememberedSettings;
using testsupport::SwitchButton;
using testsupport::ToolbarButton;
using testsupport::ToolbarHeight;
using testsupport::ToolbarWidth;

// The compositor's output as the test script starts it, and the panel the test puts there.
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
constexpr int PanelHeight = 30;
const QColor PanelColour(0x30, 0x40, 0x80);

const QColor TargetColour(0x20, 0x90, 0x40);

QString kwin(const char* name) {
    return qEnvironmentVariable(name);
}

class DesktopLyricOnKWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(kwin("VELLORA_KWIN_WAYLAND_DISPLAY").isEmpty())
            << "run through scripts/test.sh, which starts a headless KWin";
        environment = testsupport::compositorSession(kwin("VELLORA_KWIN_WAYLAND_DISPLAY"),
                                                     kwin("VELLORA_KWIN_DISPLAY"), runtime.path(),
                                                     home.path());
        x11 = std::make_unique<testsupport::X11View>(kwin("VELLORA_KWIN_DISPLAY"));
        ASSERT_TRUE(x11->connected());

        pointer =
            launch(WAYLAND_POINTER, {QString::number(ScreenWidth), QString::number(ScreenHeight)},
                   environment);
        panel = launch(WAYLAND_PANEL, {QString::number(PanelHeight), "0x304080"}, environment);
        ASSERT_TRUE(testsupport::waitUntil([&] { return panel->canReadLine(); }, 20000))
            << panel->readAllStandardError().constData();
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return pixelsOtherThan(screenshot(), panelBand(), PanelColour).isEmpty(); },
            20000));
    }

    void TearDown() override {
        end(player.get());
        for (auto& target : targets)
            end(target.get());
        for (QProcess* helper : {pointer.get(), panel.get()}) {
            if (helper) {
                helper->closeWriteChannel();
                helper->waitForFinished();
            }
        }
    }

    // What the compositor shows, through its screenshot interface: the picture's raw
    // pixels come through a pipe once the call has said their layout.
    QImage screenshot(int left = 0) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            return {};
        QDBusMessage reply;
        {
            // The call keeps a copy of the writing end: it goes before the reading starts,
            // or the pipe never ends.
            QDBusMessage call = QDBusMessage::createMethodCall(
                "org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2",
                "CaptureArea");
            call << left << 0 << uint(ScreenWidth) << uint(ScreenHeight)
                 << QVariantMap{{"native-resolution", true}}
                 << QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]));
            close(ends[1]);
            reply = bus().call(call, QDBus::Block, 20000);
        }
        QByteArray pixels;
        if (reply.type() == QDBusMessage::ReplyMessage) {
            char chunk[65536];
            for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) > 0;)
                pixels.append(chunk, got);
        }
        close(ends[0]);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        if (reply.arguments().isEmpty())
            return {};
        const QVariantMap layout = qdbus_cast<QVariantMap>(reply.arguments().first());
        const int width = layout.value("width").toInt();
        const int height = layout.value("height").toInt();
        const int stride = layout.value("stride").toInt();
        if (pixels.size() < qsizetype(stride) * height)
            return {};
        return QImage(reinterpret_cast<const uchar*>(pixels.constData()), width, height, stride,
                      QImage::Format(layout.value("format").toInt()))
            .convertToFormat(QImage::Format_RGB32);
    }

    QDBusConnection bus() {
        return QDBusConnection::connectToBus(kwin("VELLORA_KWIN_BUS"), "kwin");
    }

    // One command to the compositor's fake pointer, handled once it answers.
    void point(const QString& command) {
        pointer->write(command.toUtf8() + '\n');
        ASSERT_TRUE(testsupport::waitUntil([&] { return pointer->canReadLine(); }, 20000))
            << pointer->readAllStandardError().constData();
        ASSERT_EQ(pointer->readLine().trimmed(), QByteArray("ok"));
    }
    void moveTo(QPoint at) {
        // Arriving from a pixel away: a window hears of the pointer that moves over it.
        point(QString("move %1 %2").arg(at.x() - 1).arg(at.y()));
        point(QString("move %1 %2").arg(at.x()).arg(at.y()));
    }
    // Xwayland hears of the compositor's pointer on its own time; a press before the X
    // server has the pointer where it was moved would go where it was.
    void click(QPoint at, bool overX11) {
        moveTo(at);
        if (overX11) {
            ASSERT_TRUE(testsupport::waitUntil(
                [&] { return testsupport::x11Pointer(environment) == at; }, 20000));
        }
        point("press");
        point("release");
    }
    void clickMainWindow(QPoint offset) { click(mainWindow + offset, true); }

    static QRect panelBand() {
        return QRect(0, ScreenHeight - PanelHeight, ScreenWidth, PanelHeight);
    }
    // The strip the lyric window takes: the bottom of the work area above the panel.
    static QRect lyricBand() {
        return QRect(0, ScreenHeight - PanelHeight - LyricHeight, ScreenWidth, LyricHeight);
    }
    static QRect toolbarBand() {
        return QRect((ScreenWidth - ToolbarWidth) / 2, lyricBand().top() - ToolbarHeight,
                     ToolbarWidth, ToolbarHeight);
    }

    void startPlayer() {
        const QImage empty = screenshot();
        player = launch(VELLORA_PROGRAM, {}, environment, home.path());
        // Where the window is, once the compositor shows its buttons there: KWin may map it
        // first and place it after.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                const std::optional<QRect> window = x11->window("Vellora V");
                if (!window)
                    return false;
                mainWindow = window->topLeft();
                return screenshot().pixel(mainWindow + SwitchButton) !=
                           empty.pixel(mainWindow + SwitchButton) &&
                       x11->window("Vellora V") == window;
            },
            20000));
    }

    // A window of one colour over the lyric's strip, on X11 (Xwayland) or Wayland. Returns
    // it with its content's corner on the screen.
    std::pair<QProcess*, QPoint> startTarget(const QString& title, const QByteArray& platform) {
        QProcessEnvironment forTarget = environment;
        forTarget.insert("QT_QPA_PLATFORM", platform);
        targets.push_back(launch(CLICK_TARGET, {title, TargetColour.name()}, forTarget));
        // Maximized, it fills the work area: the lyric's strip shows it wherever the lyric
        // is transparent.
        QImage shot;
        EXPECT_TRUE(testsupport::waitUntil(
            [&] {
                shot = screenshot();
                return QColor(shot.pixel(lyricBand().left() + 20, lyricBand().top() + 5)) ==
                       TargetColour;
            },
            20000));
        // KWin makes it the active window, as a new window is.
        EXPECT_FALSE(testsupport::nextLine(targets.back().get(), "active").isEmpty());
        if (platform == "xcb")
            return {targets.back().get(), x11->window(title).value_or(QRect()).topLeft()};
        // A Wayland window's place is the compositor's secret; its first pixel shows it.
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x)
                if (QColor(shot.pixel(x, y)) == TargetColour)
                    return {targets.back().get(), QPoint(x, y)};
        return {targets.back().get(), QPoint()};
    }

    TempFolder home;
    TempFolder runtime;
    QProcessEnvironment environment;
    std::unique_ptr<testsupport::X11View> x11;
    std::unique_ptr<QProcess> pointer;
    std::unique_ptr<QProcess> panel;
    std::unique_ptr<QProcess> player;
    std::vector<std::unique_ptr<QProcess>> targets;
    QPoint mainWindow;
};

TEST_F(DesktopLyricOnKWin, TheLyricFloatsAbovePanelAndWindowsAndLetsClicksThroughBesideItsGlyphs) {
    startPlayer();
    const QImage before = screenshot();
    clickMainWindow(SwitchButton);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) > 500; }, 20000));
    // At the bottom of the work area, off the panel.
    EXPECT_TRUE(pixelsOtherThan(screenshot(), panelBand(), PanelColour).isEmpty());

    for (const auto& [title, platform] : {std::pair("X11 target", QByteArray("xcb")),
                                          std::pair("Wayland target", QByteArray("wayland"))}) {
        SCOPED_TRACE(title);
        const bool x11Target = platform == "xcb";
        // Over the active window that covers the same strip.
        const auto [target, corner] = startTarget(title, platform);
        QList<QPoint> glyphs;
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                glyphs = pixelsOtherThan(screenshot(), lyricBand(), TargetColour);
                return glyphs.size() > 500;
            },
            20000));
        EXPECT_TRUE(pixelsOtherThan(screenshot(), panelBand(), PanelColour).isEmpty());

        const QPoint transparent = lyricBand().topLeft() + QPoint(20, 5);
        const QPoint glyph = glyphs[glyphs.size() / 2];
        const auto pressAt = [&](QPoint at) {
            return QString("press %1 %2")
                .arg(at.x() - corner.x())
                .arg(at.y() - corner.y())
                .toStdString();
        };
        click(transparent, x11Target);
        EXPECT_EQ(testsupport::nextLine(target, "press").toStdString(), pressAt(transparent));
        // A click on a glyph is the lyric's: the next press the target hears is the one
        // beside the glyphs.
        click(glyph, false);
        click(transparent + QPoint(7, 0), x11Target);
        EXPECT_EQ(testsupport::nextLine(target, "press").toStdString(),
                  pressAt(transparent + QPoint(7, 0)));
        end(target);
    }
}

TEST_F(DesktopLyricOnKWin, TheToolbarOpensFromTheMainWindowAndHidesWhenThePointerLeaves) {
    startPlayer();
    clickMainWindow(ToolbarButton);
    startTarget("backdrop", "xcb");
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return pixelsOtherThan(screenshot(), toolbarBand(), TargetColour).size() > 5000; },
        20000));
    // Over the bar's bare surface, which arms the leave tracking, then away.
    moveTo(toolbarBand().topLeft() + QPoint(190, 15));
    moveTo(toolbarBand().topLeft() + QPoint(192, 15));
    moveTo(toolbarBand().topLeft() + QPoint(190, -200));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return pixelsOtherThan(screenshot(), toolbarBand(), TargetColour).isEmpty(); },
        20000));
}

TEST_F(DesktopLyricOnKWin, TheSwitchTurnsTheLyricOffAndTheProgramEndsCleanlyWhenClosed) {
    startPlayer();
    const QImage before = screenshot();
    clickMainWindow(SwitchButton);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) > 500; }, 20000));
    // Far enough from the first click that the two make no double-click.
    clickMainWindow(SwitchButton + QPoint(8, 8));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) == 0; }, 20000));

    // Closed through the window manager, as its close button would.
    x11->close("Vellora V");
    ASSERT_TRUE(player->waitForFinished(20000));
    const QByteArray said = player->readAllStandardError();
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit) << said.constData();
    EXPECT_EQ(player->exitCode(), 0) << said.constData();
}

// KWin's second output, turned off and on as its display settings do: the lyric is there
// from the start when remembered, moves to the first output when it goes off and comes back
// when it is on again; the user clicks nothing.
TEST_F(DesktopLyricOnKWin, TheLyricFollowsTheOutputItRemembersThroughOffAndOn) {
    const RememberedSettings settings(VELLORA_PROGRAM, "desktop_lyric_screen=Virtual-1\n");
    const auto setOutput = [&](const char* state) {
        QProcess doctor;
        QProcessEnvironment forDoctor = environment;
        forDoctor.insert("QT_QPA_PLATFORM", "wayland");
        doctor.setProcessEnvironment(forDoctor);
        doctor.start("kscreen-doctor", {QString("output.Virtual-1.%1").arg(state)});
        ASSERT_TRUE(doctor.waitForFinished(60000));
    };
    const QRect secondBand(0, ScreenHeight - LyricHeight, ScreenWidth, LyricHeight);
    const QImage first = screenshot();
    const QImage second = screenshot(ScreenWidth);
    // Off, the second output has nothing to show, nor any screenshot.
    const auto lyricOnSecond = [&](bool there) {
        return testsupport::waitUntil(
            [&] {
                return (!there ||
                        changedPixels(second, screenshot(ScreenWidth), secondBand) > 500) &&
                       (changedPixels(first, screenshot(), lyricBand()) > 500) == !there;
            },
            20000);
    };
    startPlayer();
    clickMainWindow(SwitchButton);
    EXPECT_TRUE(lyricOnSecond(true));
    setOutput("disable");
    EXPECT_TRUE(lyricOnSecond(false));
    setOutput("enable");
    EXPECT_TRUE(lyricOnSecond(true));
}

} // namespace
