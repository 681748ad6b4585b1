// Where the core takes a track's lyric lines from, in order: the lyric file beside it, the
// user's lyrics folder, the lyrics in its tags, which arrive later from a worker thread, then
// LRCLIB.
#include "lyrics/lyric_file.h"
#include "settings/program_settings.h"
#include "support/event_wait.h"
#include "support/fake_lrclib_server.h"
#include "support/player_fixture.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using testsupport::waitUntil;

class OpenedTrackLyrics : public ::testing::Test, public PlayerFixture {
protected:
    QString media(const char* name = "song.mp3") const {
        return music.file(QString::fromLatin1(name));
    }
    static MediaTags embedding(const QStringList& lines) {
        MediaTags tags;
        tags.title = QStringLiteral("Song");
        tags.artist = QStringLiteral("Artist");
        tags.durationMs = 233'000;
        tags.lyricLines = lines;
        return tags;
    }
    // Opens the track and waits for its tags to be read and handed on.
    void openAndReadTags(PlayerCore& core, const QString& path) {
        QSignalSpy tagged(&core.openedTrack(), &OpenedTrack::tagsChanged);
        core.setCurrentPath(path);
        core.replay();
        ASSERT_TRUE(tagged.wait(30'000));
        QCoreApplication::sendPostedEvents();
    }

    TempFolder music;
};

struct SourceCase {
    const char* name;
    QByteArray beside;  // the lyric file beside the media, when not empty
    QByteArray saved;   // the file in the user's lyrics folder, when not empty
    QStringList tagged; // the lyrics in the tags
    QString online;     // LRCLIB's timed lyrics, when not empty
    bool searched;      // whether LRCLIB is asked, with the online search on
    QStringList shown;  // what the store holds once the tags are in and LRCLIB has answered
};

class LyricSourceOrder : public OpenedTrackLyrics,
                         public ::testing::WithParamInterface<SourceCase> {};

const SourceCase sourceCases[] = {
    {"file_beside_over_all",
     "[00:01.00]beside\r\n",
     "[00:01.00]saved\r\n",
     {"[00:01.00]embedded"},
     "[00:01.00]online",
     false,
     {"[00:01.00]beside"}},
    {"users_folder_over_tags",
     {},
     "[00:01.00]saved\r\n",
     {"[00:01.00]embedded"},
     "[00:01.00]online",
     false,
     {"[00:01.00]saved"}},
    {"tags_over_lrclib",
     {},
     {},
     {"[00:01.00]embedded"},
     "[00:01.00]online",
     false,
     {"[00:01.00]embedded"}},
    {"lrclib_last", {}, {}, {}, "[00:01.00]online", true, {"[00:01.00]online"}},
    {"nothing_at_all", {}, {}, {}, {}, true, {}},
    // An empty file is still the user's word for the track.
    {"empty_file_beside", "", {}, {"[00:01.00]embedded"}, "[00:01.00]online", false, {}},
};

TEST_P(LyricSourceOrder, TheFileBesideWinsThenTheUsersFolderThenTheTagsThenLrclib) {
    const SourceCase& c = GetParam();
    if (!c.beside.isNull())
        music.write(QStringLiteral("song.lrc"), c.beside);
    if (!c.saved.isNull()) {
        const QString saved = LyricFile::userFileFor(media(), lyricSources.userLyricsFolder);
        QDir().mkpath(QFileInfo(saved).path());
        QFile file(saved);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.saved);
    }
    tagReader.set(media(), embedding(c.tagged));
    FakeLrclibServer server;
    if (!c.online.isEmpty())
        server.answer("/api/get",
                      FakeLrclibServer::json(FakeLrclibServer::record(1, "Song", 233, c.online)));
    lyricSources.lrclib.baseUrl = server.baseUrl();
    lyricSources.lrclibLookups = FakeLrclibServer::clients();
    ASSERT_TRUE(ProgramSettings::write(lyricSources.settingsFile,
                                       ProgramSettings::SearchLyricsOnline, true));
    PlayerCore& core = start();
    engine.place(1000);
    engine.state = PlayState::Playing;
    QSignalSpy notices(&core.openedTrack(), &OpenedTrack::notice);
    openAndReadTags(core, media());
    if (c.searched)
        // Searching, then how it ended.
        ASSERT_TRUE(waitUntil([&] { return notices.size() == 2; }, 30'000));
    else
        EXPECT_TRUE(notices.isEmpty());
    EXPECT_EQ(core.lyricLines().lines(), c.shown);
    // The hidden list of lines shows them as its rows.
    ASSERT_EQ(core.lyricLines().rowCount(), c.shown.size());
    for (int row = 0; row < c.shown.size(); ++row)
        EXPECT_EQ(core.lyricLines().index(row).data().toString(), c.shown[row]);
    // The tick shows lines from the tags as it shows those of a file.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(core.status().lyric(), c.shown.isEmpty() ? QString() : c.shown.first().mid(10));
}

INSTANTIATE_TEST_SUITE_P(OpenedTrack, LyricSourceOrder, ::testing::ValuesIn(sourceCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Start-up opens its first track before its window is on screen, and holds the rest back.
TEST_F(OpenedTrackLyrics, HeldBackATrackHasItsLyricFileOnlyUntilLetGo) {
    tagReader.set(media(), embedding({"[00:01.00]embedded"}));
    writePlaylist("1\r\n" + media().toUtf8() + "\r\n");
    PlayerCore& core = start();
    core.openedTrack().holdBack();
    core.timer3Tick();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(tagReader.reads(), 0);
    EXPECT_TRUE(core.lyricLines().lines().isEmpty());

    QSignalSpy found(&core.openedTrack(), &OpenedTrack::linesFound);
    core.openedTrack().letGo();
    ASSERT_TRUE(found.wait(30'000));
    EXPECT_EQ(tagReader.reads(), 1);
    EXPECT_EQ(core.lyricLines().lines(), QStringList{"[00:01.00]embedded"});
}

TEST_F(OpenedTrackLyrics, TagsOfATrackLeftBehindNeverReachTheStore) {
    tagReader.set(media("first.mp3"), embedding({"[00:01.00]first"}));
    tagReader.set(media("second.mp3"), embedding({"[00:01.00]second"}));
    PlayerCore& core = start();
    QSignalSpy found(&core.openedTrack(), &OpenedTrack::linesFound);
    tagReader.hold();
    core.setCurrentPath(media("first.mp3"));
    core.replay();
    ASSERT_TRUE(waitUntil([&] { return tagReader.reads() == 1; }, 30'000));
    core.setCurrentPath(media("second.mp3"));
    core.replay();
    tagReader.release();

    ASSERT_TRUE(found.wait(30'000));
    EXPECT_EQ(core.lyricLines().lines(), QStringList{"[00:01.00]second"});
    EXPECT_EQ(core.openedTrack().tags().lyricLines, QStringList{"[00:01.00]second"});
    // Nothing of the first track is still on its way.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(found.size(), 1);
}

TEST_F(OpenedTrackLyrics, AnEmptyPathReadsNoTagsAndForgetsThePreviousOnes) {
    MediaTags tags = embedding({});
    tags.artist = QStringLiteral("Artist");
    tagReader.set(media(), tags);
    PlayerCore& core = start();
    openAndReadTags(core, media());
    EXPECT_EQ(core.openedTrack().tags().artist, QStringLiteral("Artist"));

    core.playSelectedEntry(); // nothing selected
    EXPECT_FALSE(core.openedTrack().hasTags());
    EXPECT_EQ(core.openedTrack().tags(), MediaTags{});
    EXPECT_EQ(tagReader.reads(), 1);
}

} // namespace
