#include "desktop_lyric/colour_schemes.h"
#include "desktop_lyric/lyric_settings.h"
#include "desktop_lyric/lyric_window_preferences.h"
#include "fakes/fake_desktop_services.h"
#include "forms/frm_show.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "platform/presenters/system_window_presenter.h"
#include "settings/program_settings.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/x11_client.h"
#include "support/x_barrier.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

#include <optional>
#include <xcb/shape.h>

namespace {

// Qt on xcb connects to a session bus when it finds or can autolaunch one, and libdbus keeps
// a read buffer past the end of the process, which the leak checker reports. Nothing here
// needs the bus.
[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

// The root's work area, as a panel would announce it; put back as it was at the end.
class WorkArea {
public:
    WorkArea(testsupport::X11Client& x, QRect area)
        : x_(x), previous_(x.words(x.root(), "_NET_WORKAREA")) {
        x_.setWords(
            x_.root(), "_NET_WORKAREA", "CARDINAL",
            {quint32(area.x()), quint32(area.y()), quint32(area.width()), quint32(area.height())});
    }
    ~WorkArea() {
        if (previous_.isEmpty())
            x_.deleteProperty(x_.root(), "_NET_WORKAREA");
        else
            x_.setWords(x_.root(), "_NET_WORKAREA", "CARDINAL", previous_);
    }
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;

private:
    testsupport::X11Client& x_;
    QList<quint32> previous_;
};

class FrmShowOnX : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.connected());
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

    // A connection of the test's own, like another program's.
    testsupport::X11Client x;
    QSize screenSize;
    QtScreenGeometry screen;
    FakeDialogs dialogs;
    std::unique_ptr<WindowPresenter> presenter = systemWindowPresenter();
    TempFolder program;
    LyricSettings settings{ProgramSettings::in(program.path()).lyricLook};
    LyricWindowPreferences preferences{QString()};
};

TEST_F(FrmShowOnX, FramelessTopmostToolWindowRestingOnTheBottomPanel) {
    WorkArea panel(x, QRect(0, 0, screenSize.width(), screenSize.height() - 40));
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return screen.workArea().bottom() == screenSize.height() - 41; }));
    auto window = showLyric();
    const auto id = quint32(window->winId());

    // Seen from another connection, which learns of Qt's requests once the server has them.
    std::optional<QRect> placed;
    EXPECT_TRUE(testsupport::waitUntil([&] {
        placed = x.geometry(id);
        return placed && placed->topLeft() == QPoint(0, screenSize.height() - 111 - 40) &&
               x.words(id, "_NET_WM_STATE").contains(x.atom("_NET_WM_STATE_ABOVE"));
    }));
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->width(), screenSize.width());
    EXPECT_EQ(placed->height(), 111);
    EXPECT_EQ(x.depth(id), 32); // per-pixel alpha

    EXPECT_TRUE(x.words(id, "_NET_WM_WINDOW_TYPE").contains(x.atom("_NET_WM_WINDOW_TYPE_UTILITY")));
    const QList<quint32> motif = x.words(id, "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3);
    EXPECT_TRUE(motif[0] & 2); // decorations given…
    EXPECT_EQ(motif[2], 0u);   // …and there are none

    // The keyboard stays with the window the user works in: WM_HINTS' flags hold the input
    // hint, and its input field is false.
    const QList<quint32> hints = x.words(id, "WM_HINTS");
    ASSERT_GE(hints.size(), 2);
    EXPECT_TRUE(hints[0] & 1);
    EXPECT_EQ(hints[1], 0u);
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

    // The next line shows whole once its cut uncovers it, with nothing asked of the window
    // beyond the line: every opaque pixel of its picture is on the screen as drawn.
    window->DrawText(QStringLiteral("第二行 the next line"));
    const QImage next = window->picture();
    ASSERT_NE(ink(next), glyphs);
    const auto misdrawn = [&] {
        const QImage shown = grab(*window);
        int wrong = 0;
        for (int row = 0; row < next.height(); ++row)
            for (int column = 0; column < next.width(); ++column)
                if (const QRgb pixel = next.pixel(column, row); qAlpha(pixel) == 255)
                    wrong += QColor(shown.pixel(column, row)).rgb() != QColor(pixel).rgb();
        return wrong;
    };
    EXPECT_TRUE(testsupport::waitUntil([&] { return misdrawn() == 0; }))
        << misdrawn() << " pixels differ";
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
    preferences.chooseScreen("RIGHT");
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
    const auto inputCells = [&] {
        testsupport::serverHasQtRequests();
        return x.shape(quint32(window->winId()), XCB_SHAPE_SK_INPUT).size();
    };
    const int unlocked = inputCells();
    EXPECT_GT(unlocked, 0);
    preferences.setLocked(true);
    EXPECT_EQ(inputCells(), 0);
    preferences.setLocked(false);
    EXPECT_EQ(inputCells(), unlocked);
}

} // namespace
