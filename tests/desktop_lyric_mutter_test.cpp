// The installed-like program under GNOME's mutter as a headless Wayland display server with
// Xwayland. mutter offers no layer shell, so the desktop lyric and its toolbar stay X11
// windows there, which mutter places, keeps above and lets clicks through by their input
// shape. The pointer is mutter's own: a remote desktop session on its D-Bus interface moves
// it and presses its button, so clicks go through the compositor to X11 and Wayland windows
// alike. Without a screen cast stream (which needs a PipeWire daemon) nothing here reads the
// compositor's pixels: where a check needs a place or a state, it asks the X server and the
// window manager (the X server's own view), and what a click reaches shows the stacking
// that the compositor does. The test script starts the compositor and names it in
// VELLORA_MUTTER_WAYLAND_DISPLAY, VELLORA_MUTTER_DISPLAY, VELLORA_MUTTER_XAUTHORITY and
// VELLORA_MUTTER_BUS.
#include "support/desktop_session.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <xcb/xcb.h>

namespace {

using testsupport::end;
using testsupport::launch;
using testsupport::LyricHeight;
using testsupport::SwitchButton;
using testsupport::ToolbarButton;

constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
// The dock the test puts along the bottom, which takes its height off the work area.
constexpr int DockHeight = 30;
const QSize ToolbarSize(testsupport::ToolbarWidth, testsupport::ToolbarHeight);

QString mutter(const char* name) {
    return qEnvironmentVariable(name);
}

// mutter's pointer through a remote desktop session, which lives as long as the connection
// that made it. Its moves are relative (absolute ones need a screen cast stream); a first
// move far up and left puts it in the corner, from which every place is a known distance
// away.
class RemotePointer {
public:
    explicit RemotePointer(const QDBusConnection& bus) : bus_(bus) {
        const QDBusMessage made = call("/org/gnome/Mutter/RemoteDesktop",
                                       "org.gnome.Mutter.RemoteDesktop", "CreateSession", {});
        if (made.arguments().isEmpty())
            return;
        session_ = qvariant_cast<QDBusObjectPath>(made.arguments().first()).path();
        started_ = sessionCall("Start", {});
    }
    ~RemotePointer() {
        if (started_)
            sessionCall("Stop", {});
    }
    RemotePointer(const RemotePointer&) = delete;
    RemotePointer& operator=(const RemotePointer&) = delete;

    bool started() const { return started_; }
    void moveTo(QPoint at) {
        if (!position_) {
            sessionCall("NotifyPointerMotionRelative", {-4.0 * ScreenWidth, -4.0 * ScreenHeight});
            position_ = QPoint(0, 0);
        }
        const QPoint by = at - *position_;
        sessionCall("NotifyPointerMotionRelative", {double(by.x()), double(by.y())});
        position_ = at;
    }
    void button(bool pressed) { sessionCall("NotifyPointerButton", {BTN_LEFT, pressed}); }

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall("org.gnome.Mutter.RemoteDesktop",
                                                              path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus_.call(message, QDBus::Block, 20000);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
        return reply;
    }
    bool sessionCall(const QString& method, const QVariantList& arguments) {
        return call(session_, "org.gnome.Mutter.RemoteDesktop.Session", method, arguments).type() ==
               QDBusMessage::ReplyMessage;
    }

    QDBusConnection bus_;
    QString session_;
    bool started_ = false;
    std::optional<QPoint> position_;
};

// A task bar's X11 window along the bottom, whose strut mutter takes off the work area.
class Dock {
public:
    Dock() : x_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(x_))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x_)).data;
        const xcb_window_t window = xcb_generate_id(x_);
        const uint32_t background = screen->black_pixel;
        xcb_create_window(x_, XCB_COPY_FROM_PARENT, window, screen->root, 0,
                          ScreenHeight - DockHeight, ScreenWidth, DockHeight, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                          &background);
        const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
        xcb_change_property(x_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_WINDOW_TYPE"),
                            XCB_ATOM_ATOM, 32, 1, &dock);
        // left, right, top, bottom, then each one's start and end along its edge.
        const uint32_t strut[12] = {0, 0, 0, DockHeight, 0, 0, 0, 0, 0, 0, 0, ScreenWidth - 1};
        xcb_change_property(x_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STRUT_PARTIAL"),
                            XCB_ATOM_CARDINAL, 32, 12, strut);
        xcb_change_property(x_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STRUT"),
                            XCB_ATOM_CARDINAL, 32, 4, strut);
        xcb_map_window(x_, window);
        xcb_flush(x_);
    }
    ~Dock() { xcb_disconnect(x_); }
    Dock(const Dock&) = delete;
    Dock& operator=(const Dock&) = delete;

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            x_, xcb_intern_atom(x_, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return found;
    }

    xcb_connection_t* x_;
};

class DesktopLyricOnMutter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(mutter("VELLORA_MUTTER_WAYLAND_DISPLAY").isEmpty())
            << "run through scripts/test.sh, which starts a headless mutter";
        environment = testsupport::compositorSession(mutter("VELLORA_MUTTER_WAYLAND_DISPLAY"),
                                                     mutter("VELLORA_MUTTER_DISPLAY"),
                                                     runtime.path(), home.path());
        environment.insert("XAUTHORITY", mutter("VELLORA_MUTTER_XAUTHORITY"));
        // The test's own X clients (its view and the dock) reach mutter's Xwayland.
        qputenv("DISPLAY", mutter("VELLORA_MUTTER_DISPLAY").toLocal8Bit());
        qputenv("XAUTHORITY", mutter("VELLORA_MUTTER_XAUTHORITY").toLocal8Bit());
        x11 = std::make_unique<testsupport::X11View>(mutter("VELLORA_MUTTER_DISPLAY"));
        ASSERT_TRUE(x11->connected());
        pointer = std::make_unique<RemotePointer>(
            QDBusConnection::connectToBus(mutter("VELLORA_MUTTER_BUS"), "mutter"));
        ASSERT_TRUE(pointer->started());
    }

    void TearDown() override {
        end(player.get());
        for (auto& target : targets)
            end(target.get());
    }

    // Xwayland hears of the compositor's pointer on its own time: a press before the X
    // server has the pointer where it was moved would go where it was, and a move that it
    // has not seen would not be followed by the next.
    void moveTo(QPoint at, bool overX11) {
        // Arriving from a pixel away: a window hears of the pointer that moves over it.
        pointer->moveTo(at - QPoint(1, 0));
        pointer->moveTo(at);
        if (overX11) {
            const std::function<void()> nudge = nudging(at);
            ASSERT_TRUE(testsupport::waitUntil(
                [&] {
                    if (testsupport::x11Pointer(environment) == at)
                        return true;
                    nudge();
                    return false;
                },
                20000));
        }
    }
    // What to do while waiting for a window under the pointer at at to hear of it: mutter
    // tells a window that appeared under a resting pointer, or that a new input shape above
    // it uncovered, only once the pointer moves. So the pointer goes a pixel away and back
    // every tenth of a second, which keeps the compositor's queue short.
    std::function<void()> nudging(QPoint at) {
        return [this, at, sinceMove = QElapsedTimer()]() mutable {
            if (sinceMove.isValid() && !sinceMove.hasExpired(100))
                return;
            pointer->moveTo(at - QPoint(1, 0));
            pointer->moveTo(at);
            sinceMove.start();
        };
    }
    void click(QPoint at, bool overX11) {
        moveTo(at, overX11);
        pointer->button(true);
        pointer->button(false);
    }

    // The lyric window and the toolbar: both titled as Qt titles them, told apart by size.
    std::optional<testsupport::X11View::Window> lyricWindow() {
        for (const testsupport::X11View::Window& window : x11->windows("Form1"))
            if (window.geometry.height() == LyricHeight)
                return window;
        return std::nullopt;
    }
    std::optional<QRect> toolbar() {
        for (const testsupport::X11View::Window& window : x11->windows("Form1"))
            if (window.geometry.size() == ToolbarSize)
                return window.geometry;
        return std::nullopt;
    }

    void startPlayer() {
        player = launch(VELLORA_PROGRAM, {}, environment, home.path());
        // Placed once mutter has framed it and says so in the stacking list.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                const std::optional<QRect> window = x11->window("Vellora V");
                if (!window || !x11->stacking().contains("Vellora V1.0"))
                    return false;
                mainWindow = window->topLeft();
                return x11->window("Vellora V") == window;
            },
            20000));
    }
    void switchLyricOn() {
        click(mainWindow + SwitchButton, true);
        ASSERT_TRUE(testsupport::waitUntil([&] { return lyricWindow().has_value(); }, 20000));
    }

    // A window of one colour, maximized over the lyric's strip, on X11 (Xwayland) or Wayland,
    // shown under the pointer already at under.
    QProcess* startTarget(const QString& title, const QByteArray& platform, QPoint under) {
        moveTo(under, false);
        QProcessEnvironment forTarget = environment;
        forTarget.insert("QT_QPA_PLATFORM", platform);
        targets.push_back(launch(CLICK_TARGET, {title, "#209040"}, forTarget));
        // The pointer enters it once the compositor shows it.
        EXPECT_FALSE(
            testsupport::nextLine(targets.back().get(), "entered", nudging(under)).isEmpty());
        return targets.back().get();
    }

    // Moves the pointer to at, over the lyric's transparent pixels, until the target below
    // hears it there (within a pixel: the nudges go a pixel away). A maximized Wayland
    // window's coordinates are the screen's.
    bool reachesTarget(QPoint at, QProcess* target) {
        const std::function<void()> nudge = nudging(at);
        for (;;) {
            const QList<QByteArray> words =
                testsupport::nextLine(target, "motion", nudge).split(' ');
            if (words.size() != 3)
                return false; // no move heard in time
            if ((QPoint(words[1].toInt(), words[2].toInt()) - at).manhattanLength() <= 1) {
                moveTo(at, false);
                return true;
            }
        }
    }

    // Where the target says it was pressed next, once it says so.
    static QPoint nextPress(QProcess* target) {
        const QList<QByteArray> words = testsupport::nextLine(target, "press").split(' ');
        EXPECT_EQ(words.size(), 3);
        return words.size() == 3 ? QPoint(words[1].toInt(), words[2].toInt()) : QPoint(-1, -1);
    }

    // The middle of the widest box of the lyric window's input shape (the lines' boxes), in
    // screen coordinates.
    QPoint insideTheLines(const testsupport::X11View::Window& lyric) {
        QRect widest;
        for (const QRect& box : x11->inputShape(lyric.id))
            if (box.width() > widest.width())
                widest = box;
        return lyric.geometry.topLeft() + widest.center();
    }

    TempFolder home;
    TempFolder runtime;
    QProcessEnvironment environment;
    std::unique_ptr<testsupport::X11View> x11;
    std::unique_ptr<RemotePointer> pointer;
    std::unique_ptr<QProcess> player;
    std::vector<std::unique_ptr<QProcess>> targets;
    QPoint mainWindow;
};

TEST_F(DesktopLyricOnMutter,
       TheLyricSitsAtTheWorkAreasBottomAboveTheActiveWindowAndLetsClicksThrough) {
    Dock dock;
    const QRect work(0, 0, ScreenWidth, ScreenHeight - DockHeight);
    ASSERT_TRUE(testsupport::waitUntil([&] { return x11->workArea() == work; }, 20000));
    startPlayer();
    switchLyricOn();
    const std::optional<testsupport::X11View::Window> lyric = lyricWindow();
    ASSERT_TRUE(lyric);
    // Where mutter put it, as the X server has it: the bottom of the work area, off the dock.
    EXPECT_EQ(lyric->geometry, QRect(0, work.bottom() + 1 - LyricHeight, ScreenWidth, LyricHeight));

    for (const auto& [title, platform] : {std::pair("X11 target", QByteArray("xcb")),
                                          std::pair("Wayland target", QByteArray("wayland"))}) {
        SCOPED_TRACE(title);
        const bool x11Target = platform == "xcb";
        const QPoint transparent = lyric->geometry.topLeft() + QPoint(20, 5);
        // Shown under the pointer away from the lyric, so that the click's move is a real one.
        QProcess* target = startTarget(title, platform, transparent - QPoint(0, 200));
        if (!x11Target) {
            EXPECT_TRUE(reachesTarget(transparent, target));
        }
        click(transparent, x11Target);
        const QPoint first = nextPress(target);
        // Active now, if not already as a new window.
        EXPECT_FALSE(testsupport::nextLine(target, "active").isEmpty());
        if (x11Target) {
            // mutter's stacking, as it tells X clients: the lyric above the active window.
            // (Said to X clients once mutter has made it so, maybe after the window heard.)
            EXPECT_TRUE(testsupport::waitUntil([&] { return x11->activeTitle() == title; }, 20000));
            const QStringList stacking = x11->stacking();
            EXPECT_GT(stacking.lastIndexOf("Form1"), stacking.indexOf(title));
        }
        if (x11Target) {
            EXPECT_EQ(first, transparent - x11->window(title).value_or(QRect()).topLeft());
        }
        // A click inside the lines is the lyric's, which lies above the active window there:
        // the next press the target hears is the one beside them. (A Wayland window's first
        // press may say where the pointer entered it rather than where it pressed, a few
        // pixels off; the lines lie hundreds of pixels away.)
        const QPoint lines = insideTheLines(*lyric);
        click(lines, true);
        if (!x11Target) {
            EXPECT_TRUE(reachesTarget(transparent + QPoint(7, 0), target));
        }
        click(transparent + QPoint(7, 0), x11Target);
        const QPoint second = nextPress(target);
        if (x11Target)
            EXPECT_EQ(second, first + QPoint(7, 0));
        else
            EXPECT_LT((second - first).manhattanLength(),
                      (lines - transparent).manhattanLength() / 4);
        end(target);
    }
}

TEST_F(DesktopLyricOnMutter, TheToolbarOpensFromTheMainWindowStaysWhileAnotherIsActiveAndHides) {
    startPlayer();
    click(mainWindow + ToolbarButton, true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return toolbar().has_value(); }, 20000));
    startTarget("backdrop", "xcb", QPoint(20, 20));
    EXPECT_TRUE(testsupport::waitUntil([&] { return x11->activeTitle() == "backdrop"; }, 20000));
    const std::optional<QRect> bar = toolbar();
    ASSERT_TRUE(bar);
    // Over the bar's bare surface, which arms the leave tracking, then away.
    moveTo(bar->topLeft() + QPoint(190, 15), true);
    moveTo(bar->topLeft() + QPoint(192, 15), true);
    moveTo(bar->topLeft() + QPoint(190, -200), true);
    EXPECT_TRUE(testsupport::waitUntil([&] { return !toolbar().has_value(); }, 20000));
}

TEST_F(DesktopLyricOnMutter, TheSwitchTurnsTheLyricOffAndTheProgramEndsCleanlyWhenClosed) {
    startPlayer();
    switchLyricOn();
    // Far enough from the first click that the two make no double-click.
    click(mainWindow + SwitchButton + QPoint(8, 8), true);
    EXPECT_TRUE(testsupport::waitUntil([&] { return !lyricWindow().has_value(); }, 20000));

    // Closed through the window manager, as its close button would.
    x11->close("Vellora V");
    ASSERT_TRUE(player->waitForFinished(20000));
    const QByteArray said = player->readAllStandardError();
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit) << said.constData();
    EXPECT_EQ(player->exitCode(), 0) << said.constData();
}

} // namespace
