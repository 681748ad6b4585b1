// The desktop lyric on a screen of twice the pixel density, on a real X server, seen by
// another program: glyph edges and the window's shape have device-pixel precision, a
// compositing manager coming and going changes which shape the window gets, and only a new
// line costs the server a shape and a repaint.
#include "desktop_lyric/colour_schemes.h"
#include "fakes/counting_presenter.h"
#include "fakes/fake_world.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "platform/presenters/system_window_presenter.h"
#include "support/event_wait.h"
#include "support/paint_counter.h"
#include "support/temp_folder.h"
#include "support/x11_client.h"
#include "support/x_barrier.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>
#include <xcb/shape.h>

namespace {

// Read when the application object is made, before any test runs.
[[maybe_unused]] const bool twiceTheDensity = qputenv("QT_SCALE_FACTOR", "2");
[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

const QColor Backdrop(0x2e, 0x7d, 0x32);

using testsupport::PaintCounter;

// 255 where a picture of the window's size is inside, 0 elsewhere.
using Coverage = QImage;

Coverage inkOf(const QImage& picture) {
    Coverage ink(picture.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ink.scanLine(y)[x] = qAlpha(picture.pixel(x, y)) != 0 ? 255 : 0;
    return ink;
}

Coverage coverageOf(const QList<QRect>& rectangles, QSize size) {
    Coverage inside(size, QImage::Format_Grayscale8);
    inside.fill(0);
    for (const QRect& rectangle : rectangles) {
        const QRect clipped = rectangle & inside.rect();
        for (int y = clipped.top(); y <= clipped.bottom(); ++y)
            std::fill_n(inside.scanLine(y) + clipped.left(), clipped.width(), uchar(255));
    }
    return inside;
}

// Pixels inside a and not inside b.
int outside(const Coverage& a, const Coverage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.scanLine(y)[x] != 0 && b.scanLine(y)[x] == 0;
    return count;
}

int differingPixels(const Coverage& a, const Coverage& b) {
    return outside(a, b) + outside(b, a);
}

// Another program's view of the server: it photographs the screen, reads a window's shapes,
// hears of every change to them, and can pose as a compositing manager.
class Observer : public testsupport::X11Client {
public:
    ~Observer() { stopCompositing(); }

    QSize sizeOf(quint32 window) const { return geometry(window).value_or(QRect()).size(); }
    // What the screen shows where the window is, in device pixels.
    QImage photograph(quint32 window) const { return grab(geometry(window).value_or(QRect())); }

    void startCompositing() {
        compositor_ = createWindow(QRect(0, 0, 1, 1));
        ownSelection("_NET_WM_CM_S0", compositor_);
    }
    void stopCompositing() {
        if (!compositor_)
            return;
        destroyWindow(compositor_); // gives up the selection
        compositor_ = 0;
    }

private:
    quint32 compositor_ = 0;
};

class HighDensityLyric : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(observer.connected());
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
        LyricSettings& settings = windows.settings();
        settings.setFont(QStringLiteral("DejaVu Sans"), 50);
        settings.chooseColourScheme(3);
    }

    FrmShow& showLyric(const QString& text) {
        FrmShow& window = windows.frmShow();
        window.show();
        window.DrawText(text);
        EXPECT_TRUE(testsupport::waitUntil(
            [&] { return window.windowHandle() && window.windowHandle()->isExposed(); }));
        // The picture is made once the event loop comes round and painted at once here; the
        // server then has it, and the window's shape, before anything asked of it after.
        QCoreApplication::sendPostedEvents();
        window.repaint();
        testsupport::serverHasQtRequests();
        return window;
    }

    // A solid colour under everything: what the overlay leaves visible shows it.
    void showBackdrop() {
        backdrop.setAutoFillBackground(true);
        backdrop.setPalette(QPalette(Backdrop));
        backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        backdrop.show();
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return backdrop.windowHandle() && backdrop.windowHandle()->isExposed(); }));
    }

    Coverage shapeOf(FrmShow& window, xcb_shape_kind_t kind) {
        const auto id = quint32(window.winId());
        return coverageOf(observer.shape(id, kind), observer.sizeOf(id));
    }

    // A window no shape request has cut: one rectangle, the whole window.
    bool unshaped(FrmShow& window, xcb_shape_kind_t kind) {
        const auto id = quint32(window.winId());
        return observer.shape(id, kind) == QList<QRect>{QRect(QPoint(), observer.sizeOf(id))};
    }

    Observer observer;
    QWidget backdrop{nullptr, Qt::FramelessWindowHint};
    QtScreenGeometry screen;
    TempFolder programFolder;
    std::unique_ptr<CountingPresenter> presenter =
        std::make_unique<CountingPresenter>(systemWindowPresenter());
    FakeWorld world{
        programFolder.path(),
        {.screen = &screen, .presenter = [this]() -> WindowPresenter& { return *presenter; }}};
    LyricWindows& windows = world.lyricWindows();
};

TEST_F(HighDensityLyric, GlyphEdgesAreDrawnAtDevicePixelsNotInDoubledBlocks) {
    showBackdrop();
    FrmShow& window = showLyric(QStringLiteral("HELLO desktop lyric"));
    const QImage shot = observer.photograph(quint32(window.winId()));
    ASSERT_EQ(shot.size(), window.size() * 2);
    QDir().mkpath(QStringLiteral("screenshots"));
    shot.save(QStringLiteral("screenshots/desktop-lyric-hidpi.png"));

    // A picture blown up from logical pixels is made of 2×2 cells of one colour each; the
    // window sits at even device coordinates, so its cells start at even ones too.
    int inked = 0;
    int detailed = 0;
    for (int y = 0; y + 1 < shot.height(); y += 2)
        for (int x = 0; x + 1 < shot.width(); x += 2) {
            const QRgb cell[] = {shot.pixel(x, y), shot.pixel(x + 1, y), shot.pixel(x, y + 1),
                                 shot.pixel(x + 1, y + 1)};
            if (std::all_of(std::begin(cell), std::end(cell),
                            [](QRgb pixel) { return QColor(pixel) == Backdrop; }))
                continue;
            ++inked;
            detailed += std::any_of(std::begin(cell), std::end(cell),
                                    [&](QRgb pixel) { return pixel != cell[0]; });
        }
    EXPECT_GT(inked, 500);
    EXPECT_GT(detailed, inked / 2);
}

TEST_F(HighDensityLyric, WithoutACompositorTheWindowIsCutToItsPixelsAtDevicePrecision) {
    FrmShow& window = showLyric(QStringLiteral("HELLO desktop lyric"));
    const auto id = quint32(window.winId());
    const QImage& picture = window.picture();
    ASSERT_EQ(picture.size(), observer.sizeOf(id));
    EXPECT_EQ(differingPixels(shapeOf(window, XCB_SHAPE_SK_BOUNDING), inkOf(picture)), 0);
    const QList<QRect> cells = observer.shape(id, XCB_SHAPE_SK_BOUNDING);
    EXPECT_TRUE(std::any_of(cells.begin(), cells.end(), [](const QRect& cell) {
        return (cell.x() | cell.y() | cell.width() | cell.height()) & 1;
    }));
}

TEST_F(HighDensityLyric, UnderACompositorOnlyTheLinesOfTextTakeThePointer) {
    FrmShow& window = showLyric(QStringLiteral("HELLO desktop lyric"));
    const auto id = quint32(window.winId());
    const Coverage ink = inkOf(window.picture());

    observer.startCompositing();
    ASSERT_TRUE(testsupport::waitUntil([&] { return unshaped(window, XCB_SHAPE_SK_BOUNDING); }));
    const QList<QRect> input = observer.shape(id, XCB_SHAPE_SK_INPUT);
    EXPECT_GE(input.size(), 1);
    EXPECT_LE(input.size(), 3);
    const Coverage taken = coverageOf(input, observer.sizeOf(id));
    EXPECT_EQ(outside(ink, taken), 0);
    // Clicks beside the text still reach the windows below.
    EXPECT_EQ(taken.pixel(4, 4) & 0xFF, 0u);
    EXPECT_EQ(taken.pixel(taken.width() - 4, taken.height() - 4) & 0xFF, 0u);

    // A line drawn while the compositor runs takes the pointer where it stands.
    window.DrawText(QStringLiteral("a much longer line of lyric text than before"));
    const Coverage longer = inkOf(window.picture());
    testsupport::serverHasQtRequests();
    EXPECT_EQ(outside(longer, shapeOf(window, XCB_SHAPE_SK_INPUT)), 0);
    EXPECT_TRUE(unshaped(window, XCB_SHAPE_SK_BOUNDING));

    observer.stopCompositing();
    ASSERT_TRUE(testsupport::waitUntil([&] { return unshaped(window, XCB_SHAPE_SK_INPUT); }));
    EXPECT_EQ(differingPixels(shapeOf(window, XCB_SHAPE_SK_BOUNDING), longer), 0);
}

TEST_F(HighDensityLyric, OnlyANewLineCostsTheServerTwoShapesAndOneRepaint) {
    FrmShow& window = showLyric(QStringLiteral("the first line"));
    PaintCounter counter;
    window.installEventFilter(&counter);
    observer.watchShapes(quint32(window.winId()));

    // The shapes the server was given, and the repaints asked for, by a hundred ticks of a
    // line; a repaint asked for then comes.
    const auto costOf = [&](const QString& line) {
        counter.paints = 0;
        presenter->presents = 0;
        observer.shapeChanges();
        for (int tick = 0; tick < 100; ++tick) {
            window.DrawText(line);
            QCoreApplication::sendPostedEvents();
        }
        testsupport::serverHasQtRequests();
        const std::pair cost(observer.shapeChanges(), presenter->presents);
        if (cost.second > 0) {
            EXPECT_TRUE(testsupport::waitUntil([&] { return counter.paints > 0; }));
        }
        return cost;
    };
    EXPECT_EQ(costOf(QStringLiteral("the first line")), std::pair(0, 0));
    // The old line's cut taken down, then the new one's made.
    EXPECT_EQ(costOf(QStringLiteral("the next line")), std::pair(2, 1));

    observer.startCompositing();
    ASSERT_TRUE(testsupport::waitUntil([&] { return unshaped(window, XCB_SHAPE_SK_BOUNDING); }));
    EXPECT_EQ(costOf(QStringLiteral("the next line")), std::pair(0, 0));
    EXPECT_EQ(costOf(QStringLiteral("a line under the compositor")), std::pair(1, 1));
    window.removeEventFilter(&counter);
}

} // namespace
