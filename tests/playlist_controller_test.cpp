// The playlist through the player core on fakes: what the add buttons and other programs
// bring, what is refused, removal, and the steps to the previous and next entry with the
// deferred play they ask for.
#include "player/outside_paths.h"
#include "support/player_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class PlaylistEdits : public ::testing::Test, public PlayerFixture {};

TEST_F(PlaylistEdits, AddedFilesJoinAsTheyAreAndALineBreakIsRefusedWithAMessage) {
    PlayerCore& core = start();
    QSignalSpy messages(&core, &PlayerCore::message);
    core.playlist().addFile(QStringLiteral("/music/a.mp3"));
    core.playlist().addFile(QString()); // a cancelled dialog
    core.playlist().addFile(QStringLiteral("/music/a.mp3"));
    core.playlist().addFile(QStringLiteral("/music/two\nlines.mp3"));
    EXPECT_EQ(entries(), (QStringList{"/music/a.mp3", "/music/a.mp3"}));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().at(1).toString().contains(QStringLiteral("换行符")));
}

TEST_F(PlaylistEdits, AddFolderTakesVisibleMp3FilesSortedByName) {
    TempFolder music;
    for (const char* name : {"b.mp3", "A.MP3", "c.Mp3", "notes.txt", ".hidden.mp3", "d.mp3.bak"})
        music.write(QString::fromUtf8(name), "x");
    QDir(music.path()).mkdir(QStringLiteral("folder.mp3"));
    PlayerCore& core = start();
    core.playlist().addFolder(QString()); // a cancelled dialog
    core.playlist().addFolder(music.path());
    EXPECT_EQ(entries(),
              (QStringList{music.file("A.MP3"), music.file("b.mp3"), music.file("c.Mp3")}));
}

TEST_F(PlaylistEdits, AFullPlaylistTakesWhatFitsAndSaysWhy) {
    TempFolder music;
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3"})
        music.write(QString::fromUtf8(name), "x");
    QByteArray many = "32766\r\n";
    for (int i = 0; i < 32766; ++i)
        many += "/m/" + QByteArray::number(i) + ".mp3\r\n";
    writePlaylist(many);
    PlayerCore& core = start();
    QSignalSpy messages(&core, &PlayerCore::message);
    core.playlist().addFolder(music.path());
    EXPECT_EQ(core.playlist().model().count(), 32767);
    EXPECT_EQ(core.playlist().model().path(32766), music.file("1.mp3"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().at(1).toString().contains(QStringLiteral("2 个文件未添加")));
}

TEST_F(PlaylistEdits, RemoveAndClearLeaveThePlayingTrackAlone) {
    PlayerCore& core = startWith({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    core.playlist().select(1);
    core.playlist().removeSelected();
    EXPECT_EQ(entries(), (QStringList{"/m/a.mp3", "/m/c.mp3"}));
    EXPECT_EQ(core.playlist().currentRow(), -1);
    core.playlist().removeSelected(); // nothing selected: nothing removed
    EXPECT_EQ(core.playlist().model().count(), 2);
    core.playlist().select(0);
    core.playlist().clear();
    EXPECT_EQ(core.playlist().model().count(), 0);
    EXPECT_EQ(core.playlist().currentRow(), -1);
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(core.currentPath(), QStringLiteral("/m/a.mp3"));
}

class PlaylistSteps : public ::testing::Test, public PlayerFixture {};

TEST_F(PlaylistSteps, NextAndPreviousStepThroughTheListAndWrapWithoutPlaying) {
    PlayerCore& core = startWith({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    core.playlist().nextEntry();
    EXPECT_EQ(core.playlist().currentRow(), 1);
    EXPECT_TRUE(timer("Timer3")->isActive());
    core.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/m/b.mp3"));

    core.playlist().select(2);
    core.playlist().nextEntry();
    EXPECT_EQ(core.playlist().currentRow(), 0);
    EXPECT_FALSE(timer("Timer3")->isActive());

    core.playlist().previousEntry();
    EXPECT_EQ(core.playlist().currentRow(), 2);
    EXPECT_FALSE(timer("Timer3")->isActive());
    core.playlist().previousEntry();
    EXPECT_EQ(core.playlist().currentRow(), 1);
    EXPECT_TRUE(timer("Timer3")->isActive());
}

TEST_F(PlaylistSteps, NothingSelectedNextPlaysTheFirstAndPreviousTheLast) {
    PlayerCore& core = startWith({"/m/a.mp3", "/m/b.mp3"});
    core.playlist().select(-1);
    core.playlist().nextEntry();
    EXPECT_EQ(core.playlist().currentRow(), 0);
    EXPECT_TRUE(timer("Timer3")->isActive());
    timer("Timer3")->stop();
    core.playlist().select(-1);
    core.playlist().previousEntry();
    EXPECT_EQ(core.playlist().currentRow(), 1);
    EXPECT_TRUE(timer("Timer3")->isActive());
}

TEST_F(PlaylistSteps, ASingleSelectedEntryIsNeitherMovedNorRestarted) {
    PlayerCore& core = startWith({"/m/a.mp3"});
    core.playlist().nextEntry();
    core.playlist().previousEntry();
    EXPECT_EQ(core.playlist().currentRow(), 0);
    EXPECT_FALSE(timer("Timer3")->isActive());
    EXPECT_TRUE(engine.calls.isEmpty());
}

TEST_F(PlaylistSteps, AnEmptyListIgnoresNextAndPrevious) {
    PlayerCore& core = start();
    core.playlist().nextEntry();
    core.playlist().previousEntry();
    EXPECT_EQ(core.playlist().currentRow(), -1);
    EXPECT_FALSE(timer("Timer3")->isActive());
    EXPECT_FALSE(core.playlist().canGoNext());
    EXPECT_FALSE(core.playlist().canGoPrevious());
}

class PlaylistOutsidePaths : public ::testing::Test, public PlayerFixture {};

TEST_F(PlaylistOutsidePaths, FilesAndFoldersJoinAndTheFirstNewPlays) {
    TempFolder music;
    for (const char* name : {"folder/b.mp3", "folder/A.MP3", "folder/notes.txt", "one.mp3"})
        music.write(name, "x");
    PlayerCore& core = startWith({"/music/old.mp3"});
    EXPECT_TRUE(
        core.playlist().admitPaths({music.file("one.mp3"), music.file("folder")}).isEmpty());
    EXPECT_EQ(entries(), (QStringList{"/music/old.mp3", music.file("one.mp3"),
                                      music.file("folder/A.MP3"), music.file("folder/b.mp3")}));
    core.timer3Tick();
    EXPECT_EQ(engine.url, music.file("one.mp3"));
}

// What another program hands over names whatever it likes: only an existing regular file or
// folder joins, and a refusal leaves the playlist and the playing track as they were.
TEST_F(PlaylistOutsidePaths, WhatIsNotAFileOrFolderIsRefusedAndNeverStored) {
    TempFolder music;
    const QString fifo = music.file("pipe.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString good = music.write("good.mp3", "x");
    PlayerCore& core = startWith({"/music/old.mp3"});
    const QStringList hostile = {QString(),
                                 music.file("two\nlines.mp3"),
                                 fifo,
                                 QStringLiteral("/dev/zero"),
                                 QStringLiteral("/proc/self/environ"),
                                 QStringLiteral("/sys/kernel"),
                                 QStringLiteral("/tmp/../proc/self/mem"),
                                 music.file("missing.mp3")};
    const QStringList refusals = core.playlist().admitPaths(hostile);
    ASSERT_EQ(refusals.size(), hostile.size());
    EXPECT_EQ(entries(), QStringList{"/music/old.mp3"});
    EXPECT_FALSE(timer("Timer3")->isActive());

    QSignalSpy messages(&core, &PlayerCore::message);
    core.playlist().openPaths({QStringLiteral("/dev/zero"), good});
    EXPECT_EQ(entries(), (QStringList{"/music/old.mp3", good}));
    ASSERT_EQ(messages.size(), 1);
    const QString told = messages.first().at(1).toString();
    EXPECT_TRUE(told.contains(QStringLiteral("/dev/zero")));
    EXPECT_FALSE(told.contains(good));
}

// One call may name a folder thousands of times, or many full folders: each folder is listed
// once, and the folders together read only as many entries as a call may.
TEST(OutsidePathsExpansion, EachFolderListedOnceAndAllOfThemWithinTheBound) {
    TempFolder music;
    for (const char* name : {"a/one.mp3", "b/one.mp3", "c/one.mp3"})
        music.write(name, "x");
    static QStringList listed;
    static QList<qsizetype> offered;
    listed.clear();
    offered.clear();
    const OutsidePaths::FolderLister counting = [](const QString& folder, qsizetype most) {
        listed << QFileInfo(folder).fileName();
        offered << most;
        return Mp3Listing{{"one.mp3"}, 40'000};
    };
    QStringList paths(15'000, music.file("a"));
    paths << music.file("b") << music.file("a/../a") << music.file("c");
    const OutsidePaths::Expansion found = OutsidePaths::expand(paths, 32767, counting);
    EXPECT_EQ(listed, (QStringList{"a", "b"}));
    EXPECT_EQ(offered, (QList<qsizetype>{OutsidePaths::MaxFolderEntriesPerCall,
                                         OutsidePaths::MaxFolderEntriesPerCall - 40'000}));
    EXPECT_EQ(found.files.size(), 15'002);
    EXPECT_EQ(found.files.count(music.file("b/one.mp3")), 1);
}

} // namespace
