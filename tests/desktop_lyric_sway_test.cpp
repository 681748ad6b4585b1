// The installed-like program under a headless sway (wlroots) with Xwayland, as a user meets
// it: the desktop lyric and its toolbar are layer surfaces above the bar's exclusive zone;
// clicks from the compositor's own pointer pass through the lyric's transparent pixels to
// X11 and Wayland windows beneath, and not through its glyphs; screenshots come from grim.
// The test script starts the compositor and names it in VELLORA_SWAY_WAYLAND_DISPLAY,
// VELLORA_SWAY_DISPLAY and VELLORA_SWAYSOCK; a second sway inside it, with outputs that can
// come and go, in VELLORA_NESTED_SWAY_*.
#include "platform/presenters/layer_buffer_scale.h"
#include "support/desktop_session.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

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

// The compositor's output and its bar, as the test script configures them.
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
constexpr int BarHeight = 30;

const QColor TargetColour(0x20, 0x90, 0x40);

// Which sway the test runs under, by the names of the test script's variables.
struct SwaySession {
    const char* prefix; // VELLORA_SWAY or VELLORA_NESTED_SWAY
    QSize layout;       // all outputs together, as the pointer reaches them
};

QString sway(const SwaySession& session, const char* name) {
    return qEnvironmentVariable((QByteArray(session.prefix) + name).constData());
}

class DesktopLyricOnSway : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(sway(session, "_WAYLAND_DISPLAY").isEmpty())
            << "run through scripts/test.sh, which starts a headless sway";
        environment =
            testsupport::compositorSession(sway(session, "_WAYLAND_DISPLAY"),
                                           sway(session, "_DISPLAY"), runtime.path(), home.path());
        pointer = launch(
            WAYLAND_POINTER,
            {QString::number(session.layout.width()), QString::number(session.layout.height())},
            environment);
        ASSERT_TRUE(pointer->waitForStarted());
        // Whatever an earlier test left on the first workspace goes.
        swaymsg({"[title=\".*\"] kill"});
        swaymsg({"workspace", "1"});
    }

    void TearDown() override {
        end(player.get());
        for (auto& target : targets)
            end(target.get());
        if (pointer) {
            pointer->closeWriteChannel();
            pointer->waitForFinished();
        }
    }

    QByteArray swaymsg(const QStringList& arguments) {
        return swaymsgTo(sway(session, "SOCK"), arguments);
    }
    static QByteArray swaymsgTo(const QString& socket, const QStringList& arguments) {
        QProcess message;
        message.start("swaymsg", QStringList{"-s", socket} + arguments);
        message.waitForFinished();
        return message.readAllStandardOutput();
    }

    // The top-left corner of the content of the window whose title starts with title.
    std::optional<QPoint> windowCorner(const QString& title) {
        const QJsonObject tree =
            QJsonDocument::fromJson(swaymsg({"-t", "get_tree", "-r"})).object();
        std::optional<QPoint> found;
        const std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
            if (node.value("name").toString().startsWith(title) && node.contains("pid")) {
                const QJsonObject rect = node.value("rect").toObject();
                const QJsonObject inner = node.value("window_rect").toObject();
                found = QPoint(rect.value("x").toInt() + inner.value("x").toInt(),
                               rect.value("y").toInt() + inner.value("y").toInt());
            }
            for (const char* children : {"nodes", "floating_nodes"})
                for (const QJsonValue& child : node.value(children).toArray())
                    walk(child.toObject());
        };
        walk(tree);
        return found;
    }

    QPoint waitForWindow(const QString& title) {
        std::optional<QPoint> corner;
        EXPECT_TRUE(testsupport::waitUntil(
            [&] {
                corner = windowCorner(title);
                return corner.has_value();
            },
            20000))
            << title.toStdString();
        return corner.value_or(QPoint());
    }

    // One command to the compositor's virtual pointer, handled once it answers.
    void point(const QString& command) {
        pointer->write(command.toUtf8() + '\n');
        ASSERT_TRUE(testsupport::waitUntil([&] { return pointer->canReadLine(); }, 20000));
        ASSERT_EQ(pointer->readLine().trimmed(), QByteArray("ok"));
    }
    void moveTo(QPoint at) {
        // Arriving from a pixel away: a window hears of the pointer that moves over it.
        point(QString("move %1 %2").arg(at.x() - 1).arg(at.y()));
        point(QString("move %1 %2").arg(at.x()).arg(at.y()));
    }
    // Xwayland hears of the compositor's pointer on its own time; a press before the X
    // server has the pointer where it was moved would go where it was.
    void waitForXPointer(QPoint at) {
        if (!onX11Window(at))
            return;
        // Within a pixel: Xwayland's coordinates and sway's layout may round apart.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                const std::optional<QPoint> x11 = testsupport::x11Pointer(environment);
                return x11 && (*x11 - at).manhattanLength() <= 2;
            },
            20000));
    }
    bool onX11Window(QPoint at) const {
        return x11Main && QRect(mainWindow, QSize(300, 300)).contains(at);
    }
    void click(QPoint at) {
        moveTo(at);
        waitForXPointer(at);
        point("press");
        point("release");
    }

    QImage screenshot() {
        QProcess grim;
        grim.setProcessEnvironment(environment);
        grim.start("grim", {"-"});
        grim.waitForFinished();
        return QImage::fromData(grim.readAllStandardOutput()).convertToFormat(QImage::Format_RGB32);
    }

    // The strip the lyric window takes: the bottom of the work area above the bar.
    static QRect lyricBand() {
        return QRect(0, ScreenHeight - BarHeight - LyricHeight, ScreenWidth, LyricHeight);
    }
    static QRect toolbarBand() {
        return QRect((ScreenWidth - ToolbarWidth) / 2, lyricBand().top() - ToolbarHeight,
                     ToolbarWidth, ToolbarHeight);
    }

    void startPlayer(bool withX11 = true) {
        QProcessEnvironment forPlayer = environment;
        if (!withX11)
            forPlayer.remove("DISPLAY");
        const QImage empty = screenshot();
        player = launch(VELLORA_PROGRAM, {}, forPlayer, home.path());
        x11Main = withX11;
        player->setReadChannel(QProcess::StandardError);
        mainWindow = waitForWindow("Vellora");
        // Clicks count once the window has drawn its buttons.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return screenshot().pixel(switchButton()) != empty.pixel(switchButton()); },
            20000));
    }
    // The main window's switch, at the scale the player was started with.
    QPoint switchButton() const { return mainWindow + SwitchButton * scale; }

    // A window of one colour over the lyric's strip, on X11 (Xwayland) or Wayland.
    QProcess* startTarget(const QString& title, const QByteArray& platform) {
        QProcessEnvironment forTarget = environment;
        forTarget.insert("QT_QPA_PLATFORM", platform);
        targets.push_back(launch(CLICK_TARGET, {title, TargetColour.name()}, forTarget));
        QProcess* target = targets.back().get();
        waitForWindow(title);
        // Tiled, it fills the work area: the lyric's strip shows it wherever the lyric is
        // transparent.
        EXPECT_TRUE(testsupport::waitUntil(
            [&] {
                const QImage shot = screenshot();
                return QColor(shot.pixel(lyricBand().left() + 20, lyricBand().top() + 5)) ==
                       TargetColour;
            },
            20000));
        return target;
    }

    // The lyric's glyphs over a target window, once they show; none if they never do.
    QList<QPoint> glyphsOverTarget() {
        QList<QPoint> glyphs;
        EXPECT_TRUE(testsupport::waitUntil(
            [&] {
                glyphs = pixelsOtherThan(screenshot(), lyricBand(), TargetColour);
                return glyphs.size() > 500;
            },
            20000));
        return glyphs.size() > 500 ? glyphs : QList<QPoint>();
    }

    SwaySession session{"VELLORA_SWAY", {ScreenWidth, ScreenHeight}};
    TempFolder home;
    TempFolder runtime;
    QProcessEnvironment environment;
    std::unique_ptr<QProcess> pointer;
    std::unique_ptr<QProcess> player;
    std::vector<std::unique_ptr<QProcess>> targets;
    QPoint mainWindow;
    bool x11Main = false;
    double scale = 1; // the player's QT_SCALE_FACTOR
};

TEST_F(DesktopLyricOnSway, TheLyricFloatsAboveOtherWindowsAndLetsClicksThroughBesideItsGlyphs) {
    startPlayer();
    const QImage before = screenshot();
    click(mainWindow + SwitchButton);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) > 500; }, 20000));
    // At the bottom of the work area, off the bar.
    EXPECT_EQ(changedPixels(before, screenshot(),
                            QRect(0, lyricBand().bottom() + 1, ScreenWidth, BarHeight)),
              0);

    for (const auto& [title, platform] : {std::pair("X11 target", QByteArray("xcb")),
                                          std::pair("Wayland target", QByteArray("wayland"))}) {
        SCOPED_TRACE(title);
        // Over the active window that covers the same strip.
        QProcess* target = startTarget(title, platform);
        const QList<QPoint> glyphs = glyphsOverTarget();
        ASSERT_FALSE(glyphs.isEmpty());

        const QPoint transparent = lyricBand().topLeft() + QPoint(20, 5);
        const QPoint glyph = glyphs[glyphs.size() / 2];
        click(transparent);
        const QPoint corner = windowCorner(title).value_or(QPoint());
        const auto pressAt = [&](QPoint at) {
            return QString("press %1 %2").arg(at.x() - corner.x()).arg(at.y() - corner.y());
        };
        EXPECT_EQ(QString::fromUtf8(testsupport::nextLine(target, "press")), pressAt(transparent));
        // A click on a glyph is the lyric's: the next press the target hears is the one
        // beside the glyphs.
        click(glyph);
        click(transparent + QPoint(7, 0));
        EXPECT_EQ(QString::fromUtf8(testsupport::nextLine(target, "press")),
                  pressAt(transparent + QPoint(7, 0)));
        end(target);
    }
}

TEST_F(DesktopLyricOnSway, TheToolbarOpensFromTheMainWindowAndHidesWhenThePointerLeaves) {
    startPlayer();
    click(mainWindow + ToolbarButton);
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

TEST_F(DesktopLyricOnSway, TheSwitchTurnsTheLyricOffAndTheProgramEndsCleanly) {
    startPlayer();
    const QImage before = screenshot();
    click(mainWindow + SwitchButton);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) > 500; }, 20000));
    // Far enough from the first click that the two make no double-click.
    click(mainWindow + SwitchButton + QPoint(8, 8));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) == 0; }, 20000));

    swaymsg({"[title=\"^Vellora\"] kill"});
    ASSERT_TRUE(player->waitForFinished(20000));
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player->exitCode(), 0);
}

// Without any X display the program runs on Qt's Wayland platform, says once what needs
// X11, and shows the lyric as a layer surface all the same; its exit fade asks for no
// window opacity.
TEST_F(DesktopLyricOnSway, WithOnlyAWaylandDisplayTheProgramRunsAndSaysOnceWhatNeedsX11) {
    startPlayer(false);
    const QImage before = screenshot();
    click(mainWindow + SwitchButton);
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return changedPixels(before, screenshot(), lyricBand()) > 500; }, 20000));
    swaymsg({"[title=\"^Vellora\"] kill"});
    ASSERT_TRUE(player->waitForFinished(20000));
    const QByteArray said = player->readAllStandardError();
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit) << said.constData();
    EXPECT_EQ(player->exitCode(), 0) << said.constData();
    EXPECT_EQ(said.count("without X11"), 1) << said.constData();
    EXPECT_FALSE(said.contains("opacity")) << said.constData();
}

// Wayland takes integer buffer scales only, and a scale that does not divide the buffer's
// size is a protocol error.
TEST(LayerBufferScale, IntegerScalesOnlyAndTheViewporterForTheRest) {
    const struct {
        QSize pixels;
        double ratio;
        bool viewporter;
        LayerBufferScale fit;
    } rows[] = {
        {{1920, 111}, 1.0, true, {1, false, 1.0}}, {{3840, 222}, 2.0, true, {2, false, 2.0}},
        {{1502, 113}, 1.5, true, {1, true, 1.5}},  {{1502, 113}, 1.5, false, {1, false, 1.0}},
        {{3841, 222}, 2.0, true, {1, true, 2.0}},  {{100, 100}, 0.0, false, {1, false, 1.0}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(layerBufferScale(row.pixels, row.ratio, row.viewporter), row.fit)
            << row.pixels.width() << " at " << row.ratio;
}

// At 1.5 the picture fills the lyric's surface, its text centred on it, rather than three
// quarters of it at a buffer scale of 2.
TEST_F(DesktopLyricOnSway, AtAScaleOfOneAndAHalfTheLyricFillsItsSurface) {
    scale = 1.5;
    environment.insert("QT_SCALE_FACTOR", "1.5");
    startPlayer();
    const QImage before = screenshot();
    click(switchButton());
    const QRect band = lyricBand();
    QImage shown;
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            shown = screenshot();
            return changedPixels(before, shown, band) > 500;
        },
        20000));
    QRect glyphs;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (shown.pixel(x, y) != before.pixel(x, y))
                glyphs |= QRect(x, y, 1, 1);
    // The lyric fits its output, whose width the compositor gives the surface.
    EXPECT_NEAR(glyphs.center().x(), ScreenWidth / 2, 20) << glyphs.left() << "-" << glyphs.right();
}

// Locked, the lyric lets every click through, on its glyphs too.
TEST_F(DesktopLyricOnSway, LockedTheLyricLetsClicksOnItsGlyphsThrough) {
    const RememberedSettings locked(VELLORA_PROGRAM, "lock_desktop_lyric=yes\n");
    startPlayer();
    click(mainWindow + SwitchButton);
    QProcess* target = startTarget("Wayland target", "wayland");
    const QList<QPoint> glyphs = glyphsOverTarget();
    ASSERT_FALSE(glyphs.isEmpty());
    const QPoint glyph = glyphs[glyphs.size() / 2];
    const QPoint corner = windowCorner("Wayland target").value_or(QPoint());
    click(glyph);
    EXPECT_EQ(QString::fromUtf8(testsupport::nextLine(target, "press")),
              QString("press %1 %2").arg(glyph.x() - corner.x()).arg(glyph.y() - corner.y()));
}

// Two outputs side by side in a sway of their own, each with its bar, each a window of an
// outer sway; the player's main window floats on the first.
class DesktopLyricOnTwoSwayOutputs : public DesktopLyricOnSway {
protected:
    DesktopLyricOnTwoSwayOutputs() { session = {"VELLORA_NESTED_SWAY", {1920, 1080}}; }

    struct Output {
        QString name;
        QRect rect;
    };
    QList<Output> outputs() {
        QList<Output> found;
        for (const QJsonValue& output :
             QJsonDocument::fromJson(swaymsg({"-t", "get_outputs", "-r"})).array()) {
            const QJsonObject rect = output["rect"].toObject();
            found.append(
                {output["name"].toString(), QRect(rect["x"].toInt(), rect["y"].toInt(),
                                                  rect["width"].toInt(), rect["height"].toInt())});
        }
        return found;
    }
    // The number the next output plugged in gets: one past the highest there is, which each
    // test leaves plugged in.
    int nextOutputNumber() {
        int highest = 0;
        for (const Output& output : outputs())
            highest = std::max(highest, output.name.mid(3).toInt());
        return highest + 1;
    }
    bool hasOutput(const QString& name) {
        for (const Output& output : outputs())
            if (output.name == name)
                return true;
        return false;
    }
    // Unplugs an output: its window in the outer sway closes.
    void unplug(const QString& name) {
        swaymsgTo(sway(session, "_OUTERSOCK"),
                  {QString("[title=\"wlroots - %1$\"] kill").arg(name)});
        ASSERT_TRUE(testsupport::waitUntil([&] { return !hasOutput(name); }, 20000));
    }
    void plug(const QString& name) {
        swaymsg({"create_output"});
        ASSERT_TRUE(testsupport::waitUntil([&] { return hasOutput(name); }, 20000))
            << name.toStdString();
    }
    // Whether the lyric shows on the output, above its bar, and on no other.
    bool lyricOnlyOn(const QString& name) {
        const QImage shot = screenshot();
        for (const Output& output : outputs()) {
            const QRect band(output.rect.left(), output.rect.bottom() - BarHeight - LyricHeight,
                             output.rect.width(), LyricHeight);
            const bool shows = pixelsOtherThan(shot, band, Qt::black).size() > 200;
            if (shows != (output.name == name))
                return false;
        }
        return true;
    }
};

// The lyric waits on the first output for the one it remembers, goes there when it is plugged
// in, and comes back when it is unplugged; the user clicks nothing.
TEST_F(DesktopLyricOnTwoSwayOutputs, TheLyricFollowsTheOutputItRemembersAsItComesAndGoes) {
    ASSERT_GE(outputs().size(), 2);
    const QString first = outputs().first().name;
    const QString second = outputs().last().name;
    const int number = nextOutputNumber();
    const QString remembered = QString("WL-%1").arg(number);
    const RememberedSettings settings(VELLORA_PROGRAM,
                                      "desktop_lyric_screen=" + remembered.toUtf8() + "\n");
    startPlayer();
    click(mainWindow + SwitchButton);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricOnlyOn(first); }, 20000));

    unplug(second);
    plug(remembered);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricOnlyOn(remembered); }, 20000));
    unplug(remembered);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricOnlyOn(first); }, 20000));
    // Two outputs again for whatever runs next.
    plug(QString("WL-%1").arg(number + 1));
}

} // namespace
