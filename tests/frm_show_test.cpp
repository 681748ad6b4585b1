#include "desktop_lyric/colour_schemes.h"
#include "desktop_lyric/lyric_window_preferences.h"
#include "fakes/fake_desktop_services.h"
#include "fakes/fake_screen_geometry.h"
#include "fakes/fake_window_presenter.h"
#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "settings/program_settings.h"
#include "support/event_wait.h"
#include "support/paint_counter.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString GraphicsFailure =
    QStringLiteral("a gdi+ Init Error: Faild to Load GDI+! Please ReInstall your Application");

using testsupport::PaintCounter;

class LyricWindowFixture : public ::testing::Test {
protected:
    LyricWindowFixture() { screen.setBottomPanel(40); }

    LyricWindows& windows() { return world.lyricWindows(); }
    FrmShow& lyric() { return windows().frmShow(); }
    LyricSettings& settings() { return windows().settings(); }

    void chooseStyle() {
        settings().setFont(QStringLiteral("DejaVu Sans"), 50);
        settings().chooseColourScheme(3);
    }

    static void mouse(QWidget& window, QEvent::Type type, QPoint global, Qt::MouseButton button,
                      Qt::MouseButtons held) {
        QMouseEvent event(type, window.mapFromGlobal(global), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    }

    // Whether nothing of the window shows.
    bool cutAway() const { return !presenter.inputOnly && presenter.region.isEmpty(); }

    FakeWindowPresenter presenter;
    TempFolder programFolder;
    bool graphics = true;
    FakeWorld world{programFolder.path(),
                    {.presenter = [this]() -> WindowPresenter& { return presenter; },
                     .startGraphics = [this] { return graphics; }}};
    FakeScreenGeometry& screen = world.screen;
    FakeDialogs& dialogs = world.dialogs;
};

using FrmShowLoad = LyricWindowFixture;

TEST_F(FrmShowLoad, SpansTheScreenWithItsBottomOnThePanel) {
    FrmShow& window = lyric();
    EXPECT_TRUE(window.isLoaded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.geometry(), QRect(0, 1080 - 111 - 40, 1920, 111));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Form1"));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.windowType(), Qt::Tool); // kept out of the taskbar
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(window.picture().isNull());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    // Shown before its first picture, none of it shows.
    EXPECT_GE(presenter.shapes, 1);
    EXPECT_TRUE(cutAway());
}

TEST_F(FrmShowLoad, PlacementFollowsThePanelAndTheScreen) {
    const struct {
        const char* name;
        QRect screen;
        QRect workArea;
        QRect expected;
    } rows[] = {
        {"no panel", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {0, 969, 1920, 111}},
        {"panel on the left", {0, 0, 1920, 1080}, {60, 0, 1860, 1080}, {0, 969, 1920, 111}},
        {"panel at the top", {0, 0, 1920, 1080}, {0, 30, 1920, 1050}, {0, 969, 1920, 111}},
        {"small screen", {0, 0, 1024, 768}, {0, 0, 1024, 720}, {0, 609, 1024, 111}},
        {"primary right of another",
         {1280, 0, 1920, 1080},
         {1280, 0, 1920, 1040},
         {1280, 929, 1920, 111}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        screen.screenRect = row.screen;
        screen.workRect = row.workArea;
        world.restartLyricWindows();
        EXPECT_EQ(lyric().geometry(), row.expected);
    }
}

TEST_F(FrmShowLoad, GraphicsFailureIsReportedAndLeavesTheWindowUnloaded) {
    graphics = false;
    FrmShow& window = lyric();
    EXPECT_FALSE(window.isLoaded());
    EXPECT_EQ(dialogs.errors, QStringList{GraphicsFailure});
    EXPECT_TRUE(cutAway());

    // Each later use tries again, and says so again.
    chooseStyle();
    window.DrawText(QStringLiteral("first line"));
    EXPECT_EQ(dialogs.errors.size(), 2);
    EXPECT_EQ(lyric().text(), QStringLiteral("first line"));
    EXPECT_TRUE(window.picture().isNull());
    window.show();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dialogs.errors.size(), 3);

    graphics = true;
    window.RefreshText();
    EXPECT_TRUE(window.isLoaded());
    EXPECT_FALSE(window.picture().isNull());
    EXPECT_EQ(dialogs.errors.size(), 3);
}

// A tick that keeps drawing while the failure message waits for the user.
class DrawingWhileReporting : public FakeDialogs {
public:
    void showError(QWidget* owner, const QString& title, const QString& text) override {
        FakeDialogs::showError(owner, title, text);
        if (window)
            window->DrawText(QStringLiteral("tick"));
    }
    FrmShow* window = nullptr;
};

TEST(FrmShowGraphicsFailure, TicksWhileTheMessageIsUpShowNoFurtherMessage) {
    FakeScreenGeometry screen;
    DrawingWhileReporting dialogs;
    TempFolder program;
    LyricSettings settings(ProgramSettings::in(program.path()).lyricLook);
    FakeWindowPresenter presenter;
    FrmShow window(settings, FrmShowServices{screen, dialogs, presenter, [] { return false; }});
    ASSERT_EQ(dialogs.errors.size(), 1);
    dialogs.window = &window;
    window.DrawText(QStringLiteral("line"));
    EXPECT_EQ(dialogs.errors.size(), 2); // not one more for each tick under the message
    EXPECT_EQ(window.text(), QStringLiteral("tick"));
    window.DrawText(QStringLiteral("line")); // the message is gone: the next tick tries again
    EXPECT_EQ(dialogs.errors.size(), 3);
}

using FrmShowDrawing = LyricWindowFixture;

TEST_F(FrmShowDrawing, DrawTextStoresTheTextAndDrawsAPictureOfTheWindow) {
    chooseStyle();
    lyric().DrawText(QStringLiteral("a lyric line"));
    EXPECT_EQ(lyric().text(), QStringLiteral("a lyric line"));
    EXPECT_EQ(lyric().picture().size(), QSize(1920, 111));
    EXPECT_EQ(lyric().picture(), LyricRenderer::render(QStringLiteral("a lyric line"),
                                                       LyricStyle{QStringLiteral("DejaVu Sans"), 50,
                                                                  0xFFFECEFC, 0xFFE144CD},
                                                       QSize(1920, 111), 1920));
}

TEST_F(FrmShowDrawing, EmptyTextKeepsTheTextAndThePicture) {
    chooseStyle();
    lyric().DrawText(QStringLiteral("kept"));
    const qint64 picture = lyric().picture().cacheKey();
    lyric().DrawText(QString());
    EXPECT_EQ(lyric().text(), QStringLiteral("kept"));
    EXPECT_EQ(lyric().picture().cacheKey(), picture);
}

TEST_F(FrmShowDrawing, RefreshBeforeAnyDrawingDoesNothing) {
    chooseStyle();
    lyric().RefreshText();
    EXPECT_TRUE(lyric().picture().isNull());
    EXPECT_TRUE(lyric().text().isEmpty());
}

TEST_F(FrmShowDrawing, RefreshDrawsTheCurrentTextInTheNewColours) {
    chooseStyle();
    lyric().DrawText(QStringLiteral("colours"));
    const QImage red = lyric().picture();
    settings().chooseColourScheme(1);
    lyric().RefreshText();
    EXPECT_NE(lyric().picture(), red);
    EXPECT_EQ(lyric().picture(), LyricRenderer::render(QStringLiteral("colours"),
                                                       LyricStyle{QStringLiteral("DejaVu Sans"), 50,
                                                                  0xFFA5DAF7, 0xFF468DCC},
                                                       QSize(1920, 111), 1920));
}

TEST_F(FrmShowDrawing, TheSameLineEveryTickCostsNothingANewLineTwoCutsAndOneRepaint) {
    chooseStyle();
    FrmShow& window = lyric();
    window.show();
    PaintCounter counter;
    window.installEventFilter(&counter);
    window.DrawText(QStringLiteral("every tick"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return counter.paints > 0; }));
    // What a hundred ticks of a line ask of the window system: shapes, and repaints (a new
    // picture handed over); each tick's drawing is made once the tick is done.
    const auto costOf = [&](const QString& line) {
        presenter.shapes = 0;
        presenter.presents = 0;
        for (int tick = 0; tick < 100; ++tick) {
            window.DrawText(line);
            QCoreApplication::sendPostedEvents();
        }
        return std::pair(presenter.shapes, presenter.presents);
    };
    const qint64 picture = window.picture().cacheKey();
    EXPECT_EQ(costOf(QStringLiteral("every tick")), std::pair(0, 0));
    EXPECT_EQ(window.picture().cacheKey(), picture);
    counter.paints = 0;
    // The old cut is taken down before the next line's is made, and the picture reaches the
    // window system while nothing of the window shows, before the new cut.
    const QRegion firstCut = presenter.region;
    EXPECT_EQ(costOf(QStringLiteral("the next line")), std::pair(2, 1));
    EXPECT_FALSE(presenter.region.isEmpty());
    EXPECT_NE(presenter.region, firstCut);
    EXPECT_TRUE(presenter.regionAtChange.isEmpty());
    // The repaint asked for comes.
    EXPECT_TRUE(testsupport::waitUntil([&] { return counter.paints > 0; }));

    // New colours are a new picture over the same cut.
    settings().chooseColourScheme(1);
    window.RefreshText();
    EXPECT_EQ(costOf(QStringLiteral("the next line")), std::pair(0, 1));
    EXPECT_EQ(presenter.regionAtChange, presenter.region);

    // A compositing manager that starts takes one shape, and no new picture.
    const qint64 coloured = window.picture().cacheKey();
    presenter.setCompositing(true);
    EXPECT_EQ(presenter.shapes, 1);
    EXPECT_TRUE(presenter.inputOnly);
    EXPECT_EQ(window.picture().cacheKey(), coloured);
    EXPECT_EQ(costOf(QStringLiteral("a line under a compositor")), std::pair(1, 1));
    window.removeEventFilter(&counter);
}

// What reaches the window system when a line follows another: nothing when the picture is
// the same (the same text, or texts that leave no ink), else only the pixels that changed.
TEST_F(FrmShowDrawing, ASecondDrawingPresentsOnlyWhatChanged) {
    const struct {
        const char* name;
        QString first;
        QString second;
        int presents;
        QRect changedWithin; // device pixels; empty: nothing sent
    } rows[] = {
        {"the same text", "same line", "same line", 0, {}},
        {"texts without ink", " ", "   ", 0, {}},
        {"the last digit", "line 1", "line 2", 1, {960, 0, 120, 111}},
    };
    chooseStyle();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        lyric().DrawText(row.first);
        lyric().picture();
        presenter.presents = 0;
        lyric().DrawText(row.second);
        lyric().picture();
        EXPECT_EQ(presenter.presents, row.presents);
        if (row.presents > 0) {
            EXPECT_FALSE(presenter.lastChange.isEmpty());
            const QRect& sent = presenter.lastChange;
            EXPECT_TRUE(row.changedWithin.contains(sent))
                << sent.x() << "," << sent.y() << " " << sent.width() << "x" << sent.height();
        }
    }
}

TEST_F(FrmShowDrawing, WithoutACompositorTheWindowIsCutToTheGlyphs) {
    chooseStyle();
    lyric().DrawText(QStringLiteral("HH"));
    const QImage& picture = lyric().picture();
    EXPECT_FALSE(presenter.inputOnly);
    ASSERT_FALSE(presenter.region.isEmpty());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(presenter.region.contains(QPoint(x, y)), qAlpha(picture.pixel(x, y)) != 0)
                << x << "," << y;

    // A picture with nothing in it leaves nothing of the window.
    settings().setFont(settings().fontName(), 0);
    lyric().DrawText(QStringLiteral("HH"));
    lyric().picture();
    EXPECT_TRUE(cutAway());
}

using LyricWindowsOwner = LyricWindowFixture;

TEST_F(LyricWindowsOwner, CreatesEachWindowOnFirstUseHidden) {
    EXPECT_FALSE(windows().hasFrmShow());
    EXPECT_FALSE(windows().hasFrmSet());
    EXPECT_EQ(settings().colourScheme(), 0);
    EXPECT_EQ(settings().fontSize(), 0.0f);

    FrmSet& toolbar = windows().frmSet(); // needs the lyric window to place itself
    EXPECT_TRUE(windows().hasFrmShow());
    EXPECT_TRUE(windows().hasFrmSet());
    EXPECT_FALSE(toolbar.isVisible());
    EXPECT_FALSE(lyric().isVisible());
    EXPECT_EQ(&windows().frmSet(), &toolbar);
    EXPECT_EQ(toolbar.geometry(), QRect((1920 - 405) / 2, 929 - 35, 405, 35));
    EXPECT_TRUE(toolbar.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(toolbar.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(toolbar.windowType(), Qt::Tool);
    EXPECT_EQ(toolbar.palette().color(QPalette::Window), QColor(255, 0, 255));
}

TEST_F(LyricWindowsOwner, DraggingTheLyricWindowBringsTheToolbarAlong) {
    FrmShow& window = lyric();
    window.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return window.isVisible(); }));
    EXPECT_FALSE(windows().hasFrmSet());

    const QPoint start = window.pos();
    mouse(window, QEvent::MouseButtonPress, start + QPoint(100, 50), Qt::RightButton,
          Qt::RightButton);             // any button
    ASSERT_TRUE(windows().hasFrmSet()); // a press reaches the toolbar too
    const QPoint toolbarStart = windows().frmSet().pos();
    mouse(window, QEvent::MouseMove, start + QPoint(130, 10), Qt::NoButton, Qt::RightButton);
    mouse(window, QEvent::MouseMove, start + QPoint(70, -150), Qt::NoButton, Qt::RightButton);
    mouse(window, QEvent::MouseButtonRelease, start + QPoint(70, -150), Qt::RightButton,
          Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(-30, -200));
    EXPECT_EQ(windows().frmSet().pos(), toolbarStart + QPoint(-30, -200));

    // Released: the pointer moves on alone.
    mouse(window, QEvent::MouseMove, start + QPoint(500, 500), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(-30, -200));
}

TEST_F(LyricWindowsOwner, TheToolbarFollowsOnlyMovesMadeAfterItWasPlaced) {
    FrmShow& window = lyric();
    window.move(window.pos() + QPoint(25, -300)); // while hidden, heard of only at show
    FrmSet& toolbar = windows().frmSet();
    const QPoint placed((1920 - 405) / 2, window.y() - toolbar.height());
    EXPECT_EQ(toolbar.pos(), placed);
    window.show();
    ASSERT_TRUE(window.isVisible());
    // A move held back while the window was hidden is told when it shows.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(toolbar.pos(), placed);

    window.move(window.pos() + QPoint(-5, 7));
    EXPECT_TRUE(testsupport::waitUntil([&] { return toolbar.pos() == placed + QPoint(-5, 7); }));
}

using LyricScreens = LyricWindowFixture;

// A user's screens through a day: a second screen chosen, unplugged and plugged back, changed
// in size and panel, and the lyric dragged between them. The toolbar goes wherever the lyric
// goes, and the choice outlives the program.
TEST_F(LyricScreens, TheLyricFollowsItsScreenThroughChangesAndComesBackToIt) {
    const DesktopScreen second{"HDMI-1", "Acme 24", {1920, 0, 1280, 1024}, {1920, 0, 1280, 994}};
    screen.others = {second};
    chooseStyle();
    FrmShow& window = lyric();
    window.show();
    window.DrawText(QStringLiteral("line"));
    FrmSet& toolbar = windows().frmSet();
    const auto toolbarOffset = [&] { return toolbar.pos() - window.pos(); };
    const QPoint offset = toolbarOffset();
    const QRect onPrimary(0, 1080 - 111 - 40, 1920, 111);
    const QRect onSecond(1920, 994 - 111, 1280, 111);
    const auto expectAt = [&](const QRect& placed) {
        EXPECT_EQ(window.geometry(), placed);
        EXPECT_EQ(toolbarOffset(), offset);
        EXPECT_EQ(window.picture().width(), placed.width());
    };
    expectAt(onPrimary);

    windows().preferences().chooseScreen("HDMI-1");
    expectAt(onSecond);
    EXPECT_TRUE(
        programFolder.read("data/system/vellora.conf").contains("desktop_lyric_screen=HDMI-1"));

    screen.others.clear(); // unplugged
    screen.announce();
    expectAt(onPrimary);
    screen.others = {second}; // back
    screen.announce();
    expectAt(onSecond);

    screen.others[0].geometry = QRect(1920, 0, 1600, 900);
    screen.others[0].workArea = QRect(1920, 0, 1600, 900);
    screen.announce();
    expectAt(QRect(1920, 900 - 111, 1600, 111));

    // Dragged mostly onto the primary, at a height of the user's, kept inside the work area.
    const QPoint grip = window.pos() + QPoint(10, 10);
    mouse(window, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    mouse(window, QEvent::MouseMove, grip + QPoint(-1500, -500), Qt::NoButton, Qt::LeftButton);
    mouse(window, QEvent::MouseButtonRelease, grip + QPoint(-1500, -500), Qt::LeftButton,
          Qt::NoButton);
    expectAt(QRect(0, 900 - 111 - 500, 1920, 111));
    EXPECT_EQ(windows().preferences().screenName(), "eDP-1");
    screen.workRect = QRect(0, 0, 1920, 1080 - 800);
    screen.announce();
    expectAt(QRect(0, 1080 - 800 - 111, 1920, 111));

    // Chosen from the menu, it rests on the panel again; the next start finds it there.
    windows().preferences().chooseScreen("HDMI-1");
    expectAt(QRect(1920, 900 - 111, 1600, 111));
    world.restartLyricWindows();
    EXPECT_EQ(lyric().geometry(), QRect(1920, 900 - 111, 1600, 111));
}

// Locked, the lyric shows as before but takes no pointer: no drag, no menu, and its toolbar
// goes as if the pointer had left it.
TEST_F(LyricScreens, LockedTheLyricTakesNoPointer) {
    chooseStyle();
    FrmShow& window = lyric();
    window.setContextMenuPolicy(Qt::CustomContextMenu);
    int menus = 0;
    QObject::connect(&window, &QWidget::customContextMenuRequested, [&] { ++menus; });
    window.show();
    window.DrawText(QStringLiteral("HH"));
    window.picture();
    const QRegion glyphs = presenter.region;
    windows().frmSet().show();

    windows().preferences().setLocked(true);
    EXPECT_FALSE(windows().frmSet().isVisible());
    EXPECT_TRUE(presenter.noInput);
    EXPECT_EQ(presenter.region, glyphs); // the same glyphs show
    presenter.setCompositing(true);
    EXPECT_TRUE(presenter.inputOnly);
    EXPECT_TRUE(presenter.region.isEmpty());

    const QPoint start = window.pos();
    mouse(window, QEvent::MouseButtonPress, start + QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    mouse(window, QEvent::MouseMove, start + QPoint(10, -200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                 window.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&window, &rightClick);
    EXPECT_EQ(menus, 0);
    EXPECT_TRUE(programFolder.read("data/system/vellora.conf").contains("lock_desktop_lyric=yes"));

    windows().preferences().setLocked(false);
    EXPECT_FALSE(presenter.region.isEmpty());
    QApplication::sendEvent(&window, &rightClick);
    EXPECT_EQ(menus, 1);
}

} // namespace
