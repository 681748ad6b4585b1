#include "forms/click_area.h"
#include "forms/frm_set.h"
#include "forms/picture_box.h"
#include "support/double_click.h"
#include "support/form1_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Form1Extras : public ::testing::Test, public Form1Fixture {};

TEST_F(Form1Extras, EveryTwentyFirstBackgroundClickAsksForARest) {
    Form1& form = start();
    form.show();
    engine.calls.clear();
    for (int click = 1; click <= 20; ++click)
        QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_EQ(form.Label11->text(), QStringLiteral("20"));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(10, 50));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().endsWith(QStringLiteral("点累了吧？ 先歇一会儿吧！")));
    EXPECT_EQ(form.Label11->text(), QStringLiteral("0"));
    EXPECT_EQ(engine.calls.count(QStringLiteral("play")), 21);
}

TEST_F(Form1Extras, DoubleClickOnTheBackgroundCountsOneClick) {
    Form1& form = start();
    form.show();
    engine.calls.clear();
    testsupport::doubleClick(&form, QPoint(10, 50));
    EXPECT_EQ(form.Label11->text(), QStringLiteral("1"));
    EXPECT_EQ(engine.calls.count(QStringLiteral("play")), 1);
}

TEST_F(Form1Extras, PressOnTheBackgroundRipplesTheTopPictureUntilTheWaterIsStill) {
    Form1& form = start();
    form.show();
    const QRect water(0, 0, 328, 96);
    const QImage still = form.grab(water).toImage();
    EXPECT_FALSE(form.Timer2->isActive());
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(160, 48));
    EXPECT_TRUE(form.Timer2->isActive());
    for (int tick = 0; tick < 10; ++tick)
        form.timer2Tick();
    EXPECT_NE(form.grab(water).toImage(), still);
    for (int tick = 0; tick < 2000; ++tick)
        form.timer2Tick();
    EXPECT_EQ(form.grab(water).toImage(), still);
    // Still water is not stepped: the timer waits for the next stir.
    EXPECT_FALSE(form.Timer2->isActive());
}

TEST_F(Form1Extras, ClicksOnControlsAreNotBackgroundClicks) {
    Form1& form = start();
    form.show();
    QTest::mouseClick(form.Image9, Qt::LeftButton);
    // Beside the buttons of a strip, on the lyric strip and on the engine's band.
    QTest::mouseClick(form.Picture2, Qt::LeftButton, {}, QPoint(45, 10));
    QTest::mouseClick(form.Label2, Qt::LeftButton);
    QTest::mouseClick(form.w1, Qt::LeftButton, {}, QPoint(5, 22));
    EXPECT_EQ(form.Label11->text(), QStringLiteral("0"));
}

TEST_F(Form1Extras, ToolbarAndVolumeMixerButtons) {
    Form1& form = start();
    EXPECT_FALSE(lyricWindows.hasFrmSet());
    Q_EMIT form.Image2->clicked();
    ASSERT_TRUE(lyricWindows.hasFrmSet());
    EXPECT_TRUE(lyricWindows.frmSet().isVisible());
    lyricWindows.frmSet().hide();
    form.Command3->click();
    EXPECT_TRUE(lyricWindows.frmSet().isVisible());

    Q_EMIT form.Image7->clicked();
    EXPECT_EQ(launcher.launches.last(), QStringLiteral("mixer"));
}

} // namespace
