#include "desktop_lyric/colour_schemes.h"
#include "desktop_lyric/lyric_settings.h"
#include "desktop_lyric/lyric_window_preferences.h"
#include "fakes/fake_desktop_services.h"
#include "forms/frm_show.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "platform/presenters/system_window_presenter.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>
#include <memory>

#include <xcb/shape.h>

// Xlib after Qt: its macros would otherwise clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Qt on xcb connects to a session bus when it finds or can autolaunch one, and libdbus keeps
// a read buffer past the end of the process, which the leak checker reports. Nothing here
// needs the bus.
[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

// A connection of the test's own, like another program's.
class XConnection {
public:
    XConnection() : display(XOpenDisplay(nullptr)) {}
    ~XConnection() {
        if (display)
            XCloseDisplay(display);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Atom atom(const char* name) const { return XInternAtom(display, name, False); }
    Window root() const { return DefaultRootWindow(display); }

    QList<unsigned long> property(Window window, const char* name) const {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        QList<unsigned long> values;
        if (XGetWindowProperty(display, window, atom(name), 0, 64, False, AnyPropertyType, &type,
                               &format, &count, &remaining, &data) == Success &&
            data && format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values = QList<unsigned long>(longs, longs + count);
        }
        if (data)
            XFree(data);
        return values;
    }

    Display* display;
};

// The root's work area, as a panel would announce it; put back as it was at the end.
class WorkArea {
public:
    WorkArea(const XConnection& x, QRect area)
        : x_(x), previous_(x.property(x.root(), "_NET_WORKAREA")) {
        long values[] = {area.x(), area.y(), area.width(), area.height()};
        XChangeProperty(x_.display, x_.root(), x_.atom("_NET_WORKAREA"), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(values), 4);
        XSync(x_.display, False);
    }
    ~WorkArea() {
        if (previous_.isEmpty())
            XDeleteProperty(x_.display, x_.root(), x_.atom("_NET_WORKAREA"));
        else
            XChangeProperty(x_.display, x_.root(), x_.atom("_NET_WORKAREA"), XA_CARDINAL, 32,
                            PropModeReplace,
                            reinterpret_cast<const unsigned char*>(previous_.constData()),
                            int(previous_.size()));
        XSync(x_.display, False);
    }
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;

private:
    const XConnection& x_;
    QList<unsigned long> previous_;
};

class FrmShowOnX : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.display);
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        screenSize = QGuiApplication::primaryScreen()->geometry().size();
        settings.setFont(QStringLiteral("DejaVu Sans"), 50);
        settings.chooseColourScheme(3);
    }

    std::unique_ptr<FrmShow> showLyric() {
        auto window = std::make_unique<FrmShow>(
            settings, FrmShowServices{screen, dialogs, *presenter, {}, &preferences});
        window->show();
        window->DrawText(QStringLiteral("HELLO desktop lyric"));
        EXPECT_TRUE(testsupport::waitUntil(
            [&] { return window->windowHandle() && window->windowHandle()->isExposed(); }));
        // The picture is made once the event loop comes round, and painted at once here: the
        // X server then has it before anything asked of it afterwards on Qt's connection.
        QCoreApplication::sendPostedEvents();
        window->repaint();
        return window;
    }

    XConnection x;
    QSize screenSize;
    QtScreenGeometry screen;
    FakeDialogs dialogs;
    std::unique_ptr<WindowPresenter> presenter = systemWindowPresenter();
    TempFolder program;
    LyricSettings settings{program.path()};
    LyricWindowPreferences preferences{QString()};
};

TEST_F(FrmShowOnX, FramelessTopmostToolWindowRestingOnTheBottomPanel) {
    WorkArea panel(x, QRect(0, 0, screenSize.width(), screenSize.height() - 40));
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return screen.workArea().bottom() == screenSize.height() - 41; }));
    auto window = showLyric();
    const Window id = Window(window->winId());

    // Seen from another connection, which learns of Qt's requests once the server has them.
    Window child = 0;
    int left = -1;
    int top = -1;
    EXPECT_TRUE(testsupport::waitUntil([&] {
        XTranslateCoordinates(x.display, id, x.root(), 0, 0, &left, &top, &child);
        return left == 0 && top == screenSize.height() - 111 - 40 &&
               x.property(id, "_NET_WM_STATE").contains(x.atom("_NET_WM_STATE_ABOVE"));
    })) << left
        << "," << top;
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x.display, id, &attributes));
    EXPECT_EQ(attributes.width, screenSize.width());
    EXPECT_EQ(attributes.height, 111);
    EXPECT_EQ(attributes.depth, 32); // per-pixel alpha

    EXPECT_TRUE(
        x.property(id, "_NET_WM_WINDOW_TYPE").contains(x.atom("_NET_WM_WINDOW_TYPE_UTILITY")));
    const QList<unsigned long> motif = x.property(id, "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3);
    EXPECT_TRUE(motif[0] & 2); // decorations given…
    EXPECT_EQ(motif[2], 0u);   // …and there are none

    // The keyboard stays with the window the user works in.
    XWMHints* hints = XGetWMHints(x.display, id);
    ASSERT_TRUE(hints);
    EXPECT_TRUE(hints->flags & InputHint);
    EXPECT_FALSE(hints->input);
    XFree(hints);
}

TEST_F(FrmShowOnX, TheScreenBehindStaysVisibleAroundTheGlyphs) {
    const QColor behindColour(30, 160, 60);
    QWidget behind(nullptr, Qt::FramelessWindowHint);
    behind.setAutoFillBackground(true);
    behind.setPalette(QPalette(behindColour));
    behind.setGeometry(QRect(QPoint(0, 0), screenSize));
    behind.show();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return behind.windowHandle() && behind.windowHandle()->isExposed(); }));

    const auto grab = [&](const FrmShow& window) {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, 0, window.y(), screenSize.width(), window.height())
            .toImage();
    };
    const auto ink = [](const QImage& picture) {
        QRect found;
        for (int row = 0; row < picture.height(); ++row)
            for (int column = 0; column < picture.width(); ++column)
                if (qAlpha(picture.pixel(column, row)) != 0)
                    found |= QRect(column, row, 1, 1);
        return found;
    };

    auto window = showLyric();
    const QRect glyphs = ink(window->picture());
    ASSERT_FALSE(glyphs.isEmpty());
    const QImage screenRow = grab(*window);
    EXPECT_EQ(QColor(screenRow.pixel(10, 80)), behindColour); // left of the text, below it
    EXPECT_EQ(QColor(screenRow.pixel(screenSize.width() - 10, 5)), behindColour);
    EXPECT_NE(QColor(screenRow.pixel(glyphs.center())), behindColour);
    int glyphPixels = 0;
    for (int column = glyphs.left(); column <= glyphs.right(); ++column)
        glyphPixels += QColor(screenRow.pixel(column, glyphs.center().y())) != behindColour;
    EXPECT_GT(glyphPixels, 20);
}

// The monitors of one X screen as RandR describes them, changed the way xrandr changes them;
// the screen as it was comes back at the end.
class Monitors {
public:
    ~Monitors() {
        for (const char* name : {"LEFT", "RIGHT", "SMALL"})
            xrandr({"--delmonitor", name});
    }
    static void xrandr(const QStringList& arguments) {
        QProcess command;
        command.start("xrandr", arguments);
        command.waitForFinished();
    }
    void split() {
        xrandr({"--setmonitor", "LEFT", "960/254x1080/286+0+0", "screen"});
        xrandr({"--setmonitor", "RIGHT", "960/254x1080/286+960+0", "none"});
    }
};

// The lyric on the monitor the user chose, back on the primary when that one goes, back again
// when it returns, and fitted to a screen of another size; Qt hears of each change from RandR.
TEST_F(FrmShowOnX, TheLyricFitsTheMonitorItBelongsToThroughRandrChanges) {
    Monitors monitors;
    auto window = showLyric();
    const auto placedAt = [&](QRect expected) {
        return testsupport::waitUntil([&] { return window->geometry() == expected; });
    };
    const auto screens = [] { return QGuiApplication::screens().size(); };
    monitors.split();
    ASSERT_TRUE(testsupport::waitUntil([&] { return screens() == 2; }));
    preferences.setScreenName("RIGHT");
    EXPECT_TRUE(placedAt(QRect(960, 1080 - 111, 960, 111)));

    monitors.xrandr({"--delmonitor", "RIGHT"});
    EXPECT_TRUE(placedAt(QRect(0, 1080 - 111, 960, 111)));
    monitors.split();
    EXPECT_TRUE(placedAt(QRect(960, 1080 - 111, 960, 111)));

    monitors.xrandr({"--delmonitor", "LEFT"});
    monitors.xrandr({"--delmonitor", "RIGHT"});
    EXPECT_TRUE(placedAt(QRect(0, 1080 - 111, 1920, 111)));
    // A resolution change, as Qt sees one on a virtual server whose output cannot change mode.
    monitors.xrandr({"--setmonitor", "SMALL", "1280/338x720/190+0+0", "screen"});
    EXPECT_TRUE(placedAt(QRect(0, 720 - 111, 1280, 111)));
    EXPECT_EQ(window->picture().width(), 1280);
}

// Locked, the window keeps its glyphs on screen and takes the pointer nowhere.
TEST_F(FrmShowOnX, LockedTheWindowHasNoInputShape) {
    auto window = showLyric();
    xcb_connection_t* connection =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto inputCells = [&] {
        xcb_shape_get_rectangles_reply_t* reply = xcb_shape_get_rectangles_reply(
            connection,
            xcb_shape_get_rectangles(connection, xcb_window_t(window->winId()), XCB_SHAPE_SK_INPUT),
            nullptr);
        const int cells = reply ? xcb_shape_get_rectangles_rectangles_length(reply) : -1;
        std::free(reply);
        return cells;
    };
    const int unlocked = inputCells();
    EXPECT_GT(unlocked, 0);
    preferences.setLocked(true);
    EXPECT_EQ(inputCells(), 0);
    preferences.setLocked(false);
    EXPECT_EQ(inputCells(), unlocked);
}

} // namespace
