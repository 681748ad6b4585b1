#include "desktop_lyric/lyric_settings.h"
#include "forms/click_area.h"
#include "forms/frm_show.h"
#include "support/form1_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Form1DesktopLyric : public ::testing::Test, public Form1Fixture {
protected:
    QByteArray settingsFile() const {
        return programFolder.read(QStringLiteral("data/system/desktoplrc.pst"));
    }
    const LyricSettings& lyric() { return lyricWindows.settings(); }
};

TEST_F(Form1DesktopLyric, SwitchShowsThenHidesAndRewritesTheSettingsEveryTime) {
    Form1& form = start();
    EXPECT_FALSE(lyricWindows.hasFrmShow());

    Q_EMIT form.Image1->clicked();
    ASSERT_TRUE(lyricWindows.hasFrmShow());
    EXPECT_TRUE(lyricWindows.frmShow().isVisible());
    EXPECT_TRUE(form.Check1->isChecked());
    EXPECT_EQ(lyric().currentText, QStringLiteral("Quarnet桌面歌词"));
    EXPECT_EQ(lyric().fontName, QStringLiteral("黑体"));
    EXPECT_EQ(lyric().fontSize, 50.0f);
    EXPECT_EQ(lyric().colourScheme, 3);
    EXPECT_EQ(settingsFile(), QStringLiteral("黑体\r\n 50 \r\n 3 \r\n").toUtf8());

    lyricWindows.settings().colourScheme = 5;
    Q_EMIT form.Image1->clicked();
    EXPECT_FALSE(lyricWindows.frmShow().isVisible());
    EXPECT_FALSE(form.Check1->isChecked());
    EXPECT_EQ(lyric().colourScheme, 3);
    EXPECT_EQ(settingsFile(), QStringLiteral("黑体\r\n 50 \r\n 3 \r\n").toUtf8());
}

TEST_F(Form1DesktopLyric, BuiltInFontButtonAlwaysShowsAndLeavesTheSwitchState) {
    Form1& form = start();
    form.Command2->click();
    EXPECT_TRUE(lyricWindows.frmShow().isVisible());
    EXPECT_FALSE(form.Check1->isChecked());
    EXPECT_EQ(lyric().fontName, QStringLiteral("华文行楷"));
    // The switch still believes the lyric hidden, so its next click shows it.
    Q_EMIT form.Image1->clicked();
    EXPECT_TRUE(lyricWindows.frmShow().isVisible());
    EXPECT_TRUE(form.Check1->isChecked());
}

TEST_F(Form1DesktopLyric, TickFeedsTheLabelsAndTheOverlayWhilePlaying) {
    TempFolder music;
    music.write(QStringLiteral("a.lrc"), "[00:01.00]one\r\n[00:02.00]two\r\n");
    writePlaylist("1\r\n" + music.file(QStringLiteral("a.mp3")).toUtf8() + "\r\n");
    Form1& form = start();
    form.timer3Tick();
    engine.state = PlayState::Playing;
    engine.position = QStringLiteral("00:01");
    engine.duration = QStringLiteral("00:03");
    form.timer1Tick();
    EXPECT_EQ(form.Label3->text(), QStringLiteral("正在播放"));
    EXPECT_EQ(form.Label5->text(), QStringLiteral("00:01/00:03"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("one"));
    EXPECT_EQ(form.Label6->text(), QStringLiteral("00:01.00"));
    EXPECT_EQ(form.Label4->text(), QStringLiteral("00:02.00"));
    ASSERT_TRUE(lyricWindows.hasFrmShow());
    EXPECT_FALSE(lyricWindows.frmShow().isVisible()); // fed, not shown
    EXPECT_EQ(lyric().currentText, QStringLiteral("one"));

    engine.state = PlayState::Paused;
    engine.position = QStringLiteral("00:02");
    form.timer1Tick();
    EXPECT_EQ(form.Label2->text(), QStringLiteral("two"));
    EXPECT_EQ(lyric().currentText, QStringLiteral("one"));
}

TEST_F(Form1DesktopLyric, LinesOfTheSameSecondAreNotRenderedAgainOnEveryTick) {
    TempFolder music;
    music.write(QStringLiteral("a.lrc"), "[00:01.00]original\r\n[00:01.00]translation\r\n");
    writePlaylist("1\r\n" + music.file(QStringLiteral("a.mp3")).toUtf8() + "\r\n");
    Form1& form = start();
    Q_EMIT form.Image1->clicked();
    form.timer3Tick();
    engine.state = PlayState::Playing;
    engine.position = QStringLiteral("00:01");
    engine.duration = QStringLiteral("00:03");
    form.timer1Tick();
    FrmShow& overlay = lyricWindows.frmShow();
    const qint64 picture = overlay.picture().cacheKey();
    for (int tick = 0; tick < 5; ++tick) {
        form.timer1Tick();
        QCoreApplication::sendPostedEvents();
    }
    EXPECT_EQ(lyric().currentText, QStringLiteral("translation"));
    EXPECT_EQ(overlay.picture().cacheKey(), picture);
}

TEST_F(Form1DesktopLyric, TickRunsOnItsOwnWithoutATrack) {
    Form1& form = start();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(form.Label3->text(), QStringLiteral("还未执行任何操作"));
    EXPECT_EQ(form.Label5->text(), QStringLiteral("Label5"));
    EXPECT_FALSE(lyricWindows.hasFrmShow());
}

TEST_F(Form1DesktopLyric, EndOfMediaAdvancesWithTheSloganBetweenTracks) {
    writePlaylist("3\r\n/m/a.mp3\r\n/m/b.mp3\r\n/m/c.mp3\r\n");
    Form1& form = start();
    form.timer3Tick();
    engine.finishMedia();
    EXPECT_EQ(form.selectedIndex(), 1);
    EXPECT_EQ(lyric().currentText, QStringLiteral("Quarnet 音你而酷！"));
    EXPECT_TRUE(form.Timer3->isActive());
    form.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/m/b.mp3"));

    lyricWindows.frmShow().DrawText(QStringLiteral("last line"));
    form.selectEntry(2);
    engine.finishMedia();
    EXPECT_EQ(form.selectedIndex(), 0);
    EXPECT_EQ(lyric().currentText, QStringLiteral("last line"));
    EXPECT_TRUE(form.Timer3->isActive());
}

TEST_F(Form1DesktopLyric, RepeatModeReplaysAndReopensTheSelectedEntry) {
    writePlaylist("2\r\n/m/a.mp3\r\n/m/b.mp3\r\n");
    Form1& form = start();
    form.timer3Tick();
    Q_EMIT form.Image14->clicked();
    engine.calls.clear();
    engine.finishMedia();
    EXPECT_EQ(engine.calls, QStringList{"play"});
    EXPECT_EQ(form.selectedIndex(), 0);
    form.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/m/a.mp3"));
}

TEST_F(Form1DesktopLyric, EndOfStreamIsIgnoredUnlessTheMediaEnded) {
    writePlaylist("2\r\n/m/a.mp3\r\n/m/b.mp3\r\n");
    Form1& form = start();
    form.timer3Tick();
    engine.state = PlayState::Playing;
    Q_EMIT engine.endOfStream(0);
    EXPECT_EQ(form.selectedIndex(), 0);
    EXPECT_FALSE(form.Timer3->isActive());
}

} // namespace
