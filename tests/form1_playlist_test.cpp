#include "forms/click_area.h"
#include "support/double_click.h"
#include "support/event_wait.h"
#include "support/form1_fixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Form1Playlist : public ::testing::Test, public Form1Fixture {
protected:
    Form1& startWith(const QStringList& entries) {
        QByteArray bytes = QByteArray::number(entries.size()) + "\r\n";
        for (const QString& entry : entries)
            bytes += entry.toUtf8() + "\r\n";
        writePlaylist(bytes);
        Form1& form = start();
        form.timer3Tick(); // the start-up play of the first entry
        engine.calls.clear();
        return form;
    }
    static QStringList entries(const Form1& form) {
        QStringList result;
        for (int i = 0; i < form.List2->count(); ++i)
            result << form.List2->item(i)->text();
        return result;
    }
};

TEST_F(Form1Playlist, AddFileAppendsTheChosenPathAndCancelAddsNothing) {
    Form1& form = start();
    dialogs.fileAnswers = {"/music/a.mp3", "", "/music/a.mp3"};
    for (int i = 0; i < 3; ++i)
        Q_EMIT form.Image3->clicked();
    EXPECT_EQ(entries(form), (QStringList{"/music/a.mp3", "/music/a.mp3"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Form1Playlist, PathWithALineBreakIsRefusedWithAMessage) {
    Form1& form = start();
    dialogs.fileAnswers = {"/music/two\nlines.mp3"};
    Q_EMIT form.Image3->clicked();
    EXPECT_EQ(form.List2->count(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(QStringLiteral("换行符")));
}

TEST_F(Form1Playlist, AddFolderTakesVisibleMp3FilesSortedByName) {
    TempFolder music;
    for (const char* name : {"b.mp3", "A.MP3", "c.Mp3", "notes.txt", ".hidden.mp3", "d.mp3.bak"})
        music.write(QString::fromUtf8(name), "x");
    QDir(music.path()).mkdir(QStringLiteral("folder.mp3"));
    Form1& form = start();
    dialogs.folderAnswers = {music.path()};
    Q_EMIT form.Image4->clicked();
    EXPECT_EQ(dialogs.prompts, QStringList{"请选择文件夹"});
    EXPECT_EQ(entries(form),
              (QStringList{music.file("A.MP3"), music.file("b.mp3"), music.file("c.Mp3")}));
}

TEST_F(Form1Playlist, CancelledOrEmptyFolderAddsNothing) {
    TempFolder empty;
    Form1& form = start();
    dialogs.folderAnswers = {"", empty.path()};
    Q_EMIT form.Image4->clicked();
    Q_EMIT form.Image4->clicked();
    EXPECT_EQ(form.List2->count(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Form1Playlist, FullPlaylistTakesWhatFitsAndSaysWhy) {
    TempFolder music;
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3"})
        music.write(QString::fromUtf8(name), "x");
    Form1& form = start();
    QStringList many;
    for (int i = 0; i < 32766; ++i)
        many << QStringLiteral("/m/%1.mp3").arg(i);
    form.List2->addItems(many);
    dialogs.folderAnswers = {music.path()};
    Q_EMIT form.Image4->clicked();
    EXPECT_EQ(form.List2->count(), 32767);
    EXPECT_EQ(form.List2->item(32766)->text(), music.file("1.mp3"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(QStringLiteral("2 个文件未添加")));
}

TEST_F(Form1Playlist, RemoveAndClearLeaveThePlayingTrackAlone) {
    Form1& form = startWith({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    form.selectEntry(1);
    Q_EMIT form.Image6->clicked();
    EXPECT_EQ(entries(form), (QStringList{"/m/a.mp3", "/m/c.mp3"}));
    EXPECT_EQ(form.selectedIndex(), -1);
    Q_EMIT form.Image6->clicked(); // nothing selected: nothing removed
    EXPECT_EQ(form.List2->count(), 2);
    Q_EMIT form.Image5->clicked();
    EXPECT_EQ(form.List2->count(), 0);
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(form.Text1->text(), QStringLiteral("/m/a.mp3"));
}

TEST_F(Form1Playlist, DoubleClickPlaysTheEntryAndLoadsItsLyrics) {
    TempFolder music;
    music.write(QStringLiteral("b.lrc"), "[00:01.00]bee\r\n");
    Form1& form = startWith({"/m/a.mp3", music.file("b.mp3")});
    form.show();
    const QRect second = form.List2->visualItemRect(form.List2->item(1));
    QTest::mouseDClick(form.List2->viewport(), Qt::RightButton, {}, second.center());
    testsupport::runEventLoopFor(20);
    EXPECT_TRUE(engine.url.endsWith(u"a.mp3")); // only the left button plays
    QTest::mouseDClick(form.List2->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !engine.url.endsWith(u"a.mp3"); }, 2000));
    EXPECT_EQ(engine.url, music.file("b.mp3"));
    EXPECT_EQ(form.Text1->text(), music.file("b.mp3"));
    EXPECT_EQ(form.lyricLines(), QStringList{"[00:01.00]bee"});
}

TEST_F(Form1Playlist, PlayingWithNothingSelectedOpensEmptyTextAndEmptiesTheLyrics) {
    TempFolder music;
    music.write(QStringLiteral("a.lrc"), "[00:01.00]a\r\n");
    Form1& form = startWith({music.file("a.mp3")});
    ASSERT_EQ(form.lyricLines().size(), 1);
    form.List2->clearSelection();
    form.timer3Tick();
    EXPECT_EQ(engine.calls, QStringList{"URL="});
    EXPECT_TRUE(form.Text1->text().isEmpty());
    EXPECT_TRUE(form.lyricLines().isEmpty());
}

class Form1Transport : public Form1Playlist {};

TEST_F(Form1Transport, EngineButtonsGoStraightToTheEngine) {
    Form1& form = start();
    Q_EMIT form.Image9->clicked();
    Q_EMIT form.Image11->clicked();
    Q_EMIT form.Image10->clicked();
    EXPECT_EQ(engine.calls, (QStringList{"volume=100", "play", "pause", "stop"}));
}

TEST_F(Form1Transport, NextAndPreviousStepThroughTheListAndWrapWithoutPlaying) {
    Form1& form = startWith({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    Q_EMIT form.Image13->clicked();
    EXPECT_EQ(form.selectedIndex(), 1);
    EXPECT_TRUE(form.Timer3->isActive());
    form.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/m/b.mp3"));

    form.selectEntry(2);
    Q_EMIT form.Image13->clicked();
    EXPECT_EQ(form.selectedIndex(), 0);
    EXPECT_FALSE(form.Timer3->isActive());

    Q_EMIT form.Image12->clicked();
    EXPECT_EQ(form.selectedIndex(), 2);
    EXPECT_FALSE(form.Timer3->isActive());
    Q_EMIT form.Image12->clicked();
    EXPECT_EQ(form.selectedIndex(), 1);
    EXPECT_TRUE(form.Timer3->isActive());
}

TEST_F(Form1Transport, DoubleClickOnNextStepsOnce) {
    Form1& form = startWith({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    form.show();
    testsupport::doubleClick(form.Image13);
    EXPECT_EQ(form.selectedIndex(), 1);
}

TEST_F(Form1Transport, NextWithNothingSelectedPlaysTheFirstEntry) {
    Form1& form = startWith({"/m/a.mp3", "/m/b.mp3"});
    form.List2->clearSelection();
    Q_EMIT form.Image13->clicked();
    EXPECT_EQ(form.selectedIndex(), 0);
    EXPECT_TRUE(form.Timer3->isActive());
}

TEST_F(Form1Transport, SingleSelectedEntryIsNeitherMovedNorRestarted) {
    Form1& form = startWith({"/m/a.mp3"});
    Q_EMIT form.Image13->clicked();
    Q_EMIT form.Image12->clicked();
    EXPECT_EQ(form.selectedIndex(), 0);
    EXPECT_FALSE(form.Timer3->isActive());
    EXPECT_TRUE(engine.calls.isEmpty());
}

TEST_F(Form1Transport, EmptyListIgnoresNextAndPrevious) {
    Form1& form = start();
    Q_EMIT form.Image13->clicked();
    Q_EMIT form.Image12->clicked();
    EXPECT_EQ(form.selectedIndex(), -1);
    EXPECT_FALSE(form.Timer3->isActive());
}

TEST_F(Form1Transport, PlayModeButtonsOnlySetTheMode) {
    Form1& form = start();
    EXPECT_EQ(form.Label9->text(), QStringLiteral("2"));
    Q_EMIT form.Image14->clicked();
    EXPECT_EQ(form.Label9->text(), QStringLiteral("1"));
    Q_EMIT form.Image15->clicked();
    EXPECT_EQ(form.Label9->text(), QStringLiteral("2"));
    EXPECT_EQ(engine.calls, QStringList{"volume=100"});
}

TEST_F(Form1Transport, ReplayOpensTheDesignPathBeforeAnythingWasOpened) {
    Form1& form = start();
    form.Command1->click();
    EXPECT_EQ(engine.url, QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"));
}

TEST_F(Form1Transport, TimeLabelsShowTheEngineTextsWhenThereAreAny) {
    Form1& form = start();
    Q_EMIT form.Label7->clicked();
    EXPECT_EQ(form.Label7->text(), QStringLiteral("Label7"));
    engine.duration = QStringLiteral("04:56");
    engine.position = QStringLiteral("01:23");
    Q_EMIT form.Label7->clicked();
    Q_EMIT form.Label8->clicked();
    EXPECT_EQ(form.Label7->text(), QStringLiteral("04:56"));
    EXPECT_EQ(form.Label8->text(), QStringLiteral("01:23"));
}

} // namespace
