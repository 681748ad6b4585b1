#include "desktop_lyric/lyric_renderer.h"
#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/image_control.h"
#include "forms/picture_box.h"
#include "support/controls.h"
#include "support/double_click.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

QImage skinImage(const QString& file) {
    return QImage(QStringLiteral(":/skin/") + file).convertToFormat(QImage::Format_RGB32);
}

bool shows(const ImageControl* control, const QString& file) {
    return control->picture().toImage().convertToFormat(QImage::Format_RGB32) == skinImage(file);
}

void mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
           QPoint local = {3, 3}) {
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
    mouse(widget, QEvent::MouseButtonPress, button, button);
    mouse(widget, QEvent::MouseButtonRelease, button, Qt::NoButton);
}

class Toolbar : public ::testing::Test {
protected:
    Toolbar() { settings().setFont(QStringLiteral("DejaVu Sans"), 50); }

    LyricSettings& settings() { return world.lyricWindows().settings(); }
    FrmShow& lyric() { return world.lyricWindows().frmShow(); }
    FrmSet& bar() { return world.lyricWindows().frmSet(); }
    QByteArray settingsFile() const {
        return programFolder.read(QStringLiteral("data/system/desktoplrc.pst"));
    }

    TempFolder programFolder;
    FakeWorld world{programFolder.path()};
};

TEST_F(Toolbar, ButtonsShowPointerOverAndPressedPicturesUntilTheBareSurfaceIsTouched) {
    const char* const buttons[][2] = {
        {"Delay1", "Delay1"},    {"Delay2", "Delay2"}, {"CmdBlue", "Blue"},
        {"CmdGreen", "Green"},   {"CmdRed", "Red"},    {"CmdWhite", "White"},
        {"CmdYellow", "Yellow"}, {"CmdSet", "Set"},    {"CmdEnd", "End"}};
    for (const auto& [name, stem] : buttons) {
        SCOPED_TRACE(name);
        auto* button = bar().findChild<ImageControl*>(QString::fromLatin1(name));
        ASSERT_TRUE(button);
        const auto picture = [stem = QString::fromLatin1(stem)](const char* state) {
            return stem + QString::fromLatin1(state) + QStringLiteral(".bmp");
        };
        const QPoint corner = button->pos();

        mouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        EXPECT_TRUE(shows(button, picture("Poi")));
        EXPECT_EQ(button->geometry(), QRect(corner, skinImage(picture("Poi")).size()));
        mouse(button, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
        mouse(button, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
        EXPECT_TRUE(shows(button, picture("Down")));
        mouse(button, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        EXPECT_TRUE(shows(button, picture("Poi")));

        mouse(testsupport::controlOf(bar(), "Pic"), QEvent::MouseMove, Qt::NoButton, Qt::NoButton,
              {190, 15});
        EXPECT_TRUE(shows(button, picture("Nor")));
        EXPECT_EQ(button->geometry(), QRect(corner, skinImage(picture("Nor")).size()));
    }
    EXPECT_EQ(testsupport::controlOf<ImageControl>(bar(), "CmdBlue")->size(), QSize(14, 14));
}

// The second press of a double-click is a press like any other; only its click is not
// counted again.
TEST_F(Toolbar, TheSecondPressOfADoubleClickPressesTheButtonAndDragsTheBar) {
    FrmSet& toolbar = bar();
    toolbar.show();
    ImageControl* button = testsupport::controlOf<ImageControl>(toolbar, "CmdGreen");
    click(button);
    mouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    ASSERT_TRUE(shows(button, QStringLiteral("GreenPoi.bmp")));
    mouse(button, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(shows(button, QStringLiteral("GreenDown.bmp")));
    mouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);

    const QPoint start = toolbar.pos();
    click(testsupport::controlOf(toolbar, "Pic"));
    mouse(testsupport::controlOf(toolbar, "Pic"), QEvent::MouseButtonDblClick, Qt::LeftButton,
          Qt::LeftButton, {5, 5});
    mouse(testsupport::controlOf(toolbar, "Pic"), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton,
          {25, -5});
    mouse(testsupport::controlOf(toolbar, "Pic"), QEvent::MouseButtonRelease, Qt::LeftButton,
          Qt::NoButton, {25, -5});
    EXPECT_EQ(toolbar.pos(), start + QPoint(20, -10));
}

TEST_F(Toolbar, ButtonClicksChooseColoursSendDelaysAndClose) {
    world.lyricWindows().frmShow().DrawText(QStringLiteral("line"));
    FrmSet& toolbar = bar();
    const std::pair<ImageControl*, int> colours[] = {
        {testsupport::controlOf<ImageControl>(toolbar, "CmdBlue"), 1},
        {testsupport::controlOf<ImageControl>(toolbar, "CmdGreen"), 2},
        {testsupport::controlOf<ImageControl>(toolbar, "CmdRed"), 3},
        {testsupport::controlOf<ImageControl>(toolbar, "CmdWhite"), 4},
        {testsupport::controlOf<ImageControl>(toolbar, "CmdYellow"), 5}};
    for (const auto& [button, scheme] : colours) {
        SCOPED_TRACE(scheme);
        const qint64 before = lyric().picture().cacheKey();
        click(button);
        EXPECT_EQ(settings().colourScheme(), scheme);
        EXPECT_EQ(settingsFile(),
                  QStringLiteral("DejaVu Sans\r\n 50 \r\n %1 \r\n").arg(scheme).toUtf8());
        EXPECT_NE(lyric().picture().cacheKey(), before);
    }

    click(testsupport::controlOf<ImageControl>(toolbar, "Delay1"),
          Qt::RightButton); // only the left button clicks
    click(testsupport::controlOf<ImageControl>(toolbar, "Delay1"));
    click(testsupport::controlOf<ImageControl>(toolbar, "Delay2"));
    EXPECT_EQ(world.textChannel.texts, QStringList({"DELAY+", "DELAY-"}));
    // A double-click is one click and a double-click, which the button does not handle.
    testsupport::doubleClick(testsupport::controlOf<ImageControl>(toolbar, "Delay1"), {3, 3});
    EXPECT_EQ(world.textChannel.texts, QStringList({"DELAY+", "DELAY-", "DELAY+"}));
    // Space presses a button as a click does, and each has a name to be read by.
    QTest::keyClick(testsupport::controlOf<ImageControl>(toolbar, "Delay2"), Qt::Key_Space);
    EXPECT_EQ(world.textChannel.texts.last(), QStringLiteral("DELAY-"));
    EXPECT_EQ(testsupport::controlOf<ImageControl>(toolbar, "CmdRed")->accessibleName(),
              QStringLiteral("红色"));

    lyric().show();
    toolbar.show();
    click(testsupport::controlOf<ImageControl>(toolbar, "CmdEnd"));
    EXPECT_FALSE(toolbar.isVisible());
    EXPECT_TRUE(lyric().isVisible());
}

TEST_F(Toolbar, FontDialogStartsFromTheToolbarsOwnFontAndGivesTheLyricNameAndSizeOnly) {
    FrmSet& toolbar = bar(); // takes DejaVu Sans 50 at load
    settings().setFont(QStringLiteral("Elsewhere"),
                       settings().fontSize()); // the main window resets the lyric font
    settings().setFont(settings().fontName(), 30);
    lyric().DrawText(QStringLiteral("line"));
    const QImage before = lyric().picture();

    QFont pixelSized(QStringLiteral("DejaVu Serif"));
    pixelSized.setPixelSize(20);
    for (const std::optional<QFont>& unusable :
         {std::optional<QFont>(), std::optional(pixelSized)}) {
        world.dialogs.fontAnswer = unusable;
        click(testsupport::controlOf<ImageControl>(toolbar, "CmdSet"));
        EXPECT_EQ(world.dialogs.fontDialogStarts.last().family(), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(world.dialogs.fontDialogStarts.last().pointSizeF(), 50.0);
        EXPECT_EQ(settings().fontName(), QStringLiteral("Elsewhere"));
        EXPECT_EQ(lyric().picture(), before);
        EXPECT_TRUE(settingsFile().isEmpty());
    }

    world.dialogs.fontAnswer = QFont(QStringLiteral("DejaVu Serif"), 20, QFont::Bold, true);
    click(testsupport::controlOf<ImageControl>(toolbar, "CmdSet"));
    EXPECT_EQ(settings().fontName(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(settings().fontSize(), 20.0f);
    EXPECT_EQ(lyric().picture(),
              LyricRenderer::render(QStringLiteral("line"),
                                    LyricStyle{QStringLiteral("DejaVu Serif"), 20, 0, 0},
                                    lyric().size(), lyric().width()));
    EXPECT_EQ(settingsFile(), QByteArray("DejaVu Serif\r\n 20 \r\n 1 \r\n"));

    click(testsupport::controlOf<ImageControl>(toolbar,
                                               "CmdSet")); // bold and italic stay with the toolbar
    EXPECT_TRUE(world.dialogs.fontDialogStarts.last().bold());
    EXPECT_TRUE(world.dialogs.fontDialogStarts.last().italic());
}

// The toolbar is never the active window: it takes no focus, and the pointer reaches it
// while the user works elsewhere.
TEST_F(Toolbar, TooltipsShowWhileAnotherWindowOrNoneIsActive) {
    FrmSet& toolbar = bar();
    toolbar.show();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return toolbar.windowHandle() && toolbar.windowHandle()->isExposed(); }));
    QWidget other;
    const auto tooltipOf = [&](ImageControl* button, const QString& expected) {
        QToolTip::hideText();
        // Through the window system, as the pointer would come: only such moves wake tooltips.
        QTest::mouseMove(button, QPoint(3, 3));
        return testsupport::waitUntil(
            [&] { return QToolTip::isVisible() && QToolTip::text() == expected; });
    };
    other.show();
    other.activateWindow();
    ASSERT_TRUE(testsupport::waitUntil([&] { return QApplication::activeWindow() == &other; }));
    EXPECT_TRUE(tooltipOf(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue"),
                          QStringLiteral("湖水蓝")));
    EXPECT_TRUE(tooltipOf(testsupport::controlOf<ImageControl>(toolbar, "Delay2"),
                          QStringLiteral("提前0.5秒")));
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_TRUE(
        tooltipOf(testsupport::controlOf<ImageControl>(toolbar, "CmdSet"), QStringLiteral("设置")));
    QToolTip::hideText();
}

TEST_F(Toolbar, PressingTheBareSurfaceDragsTheBarPressingAButtonDoesNot) {
    FrmSet& toolbar = bar();
    toolbar.show();
    const std::pair<QWidget*, QPoint> rows[] = {
        {testsupport::controlOf(toolbar, "Pic"), {-40, 25}},
        {testsupport::controlOf<ImageControl>(toolbar, "CmdGreen"), {0, 0}}};
    for (const auto& [pressed, moved] : rows) {
        const QPoint start = toolbar.pos();
        mouse(pressed, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {5, 5});
        mouse(pressed, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {-35, 30});
        mouse(pressed, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {-35, 30});
        EXPECT_EQ(toolbar.pos(), start + moved) << pressed->objectName().toStdString();
    }
}

TEST_F(Toolbar, OnlyTheBarsNonKeyPixelsAreSolid) {
    FrmSet& toolbar = bar();
    const QImage picture = skinImage(QStringLiteral("Pic.bmp"));
    mouse(testsupport::controlOf<ImageControl>(toolbar, "CmdBlue"), QEvent::MouseMove, Qt::NoButton,
          Qt::NoButton); // grown: no reshape
    const QRegion mask = toolbar.mask();
    for (int y = 0; y < toolbar.height(); ++y)
        for (int x = 0; x < toolbar.width(); ++x) {
            const bool solid = x < picture.width() && y < picture.height() &&
                               picture.pixel(x, y) != qRgb(255, 0, 255);
            ASSERT_EQ(mask.contains(QPoint(x, y)), solid) << x << "," << y;
        }
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
}

} // namespace
