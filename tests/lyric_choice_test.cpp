#include "lyric_sources/lyric_choice.h"

#include <gtest/gtest.h>

namespace {

using Kind = SavedLyrics::FileKind;
using LyricChoice::InUse;

TEST(LyricChoice, WordsFromTheTagsElseFromTheFileNameAndTheQueryTrimmedWithoutALength) {
    MediaTags tagged;
    tagged.title = QStringLiteral("Song");
    tagged.artist = QStringLiteral("Artist");
    tagged.album = QStringLiteral("Album");
    MediaTags untitled;
    untitled.artist = QStringLiteral("Tagged Artist");
    const struct {
        const MediaTags* tags;
        const char* path;
        LyricChoice::Fields fields;
    } rows[] = {
        {&tagged, "/m/Band - Other.mp3", {"Song", "Artist", "Album"}},
        {&untitled, "/m/Band - Other.mp3", {"Other", "Band", ""}},
        {nullptr, "/m/Band-Other.flac", {"Other", "Band", ""}},
        {nullptr, "/m/Just a title.mp3", {"Just a title", "", ""}},
    };
    for (const auto& row : rows) {
        const LyricChoice::Fields fields = LyricChoice::fieldsFor(row.tags, row.path);
        EXPECT_EQ(fields.title, row.fields.title) << row.path;
        EXPECT_EQ(fields.artist, row.fields.artist) << row.path;
        EXPECT_EQ(fields.album, row.fields.album) << row.path;
    }
    const Lrclib::Track query = LyricChoice::queryFrom({" Song (live) ", " Artist", "  "});
    EXPECT_EQ(query.title, QStringLiteral("Song (live)"));
    EXPECT_EQ(query.artist, QStringLiteral("Artist"));
    EXPECT_TRUE(query.album.isEmpty());
    EXPECT_FALSE(query.durationMs);
}

TEST(LyricChoice, TimedFirstThenPlainThenInstrumentalEachClosestInLengthFirst) {
    const auto record = [](qint64 id, std::optional<double> seconds, const char* synced,
                           const char* plain = "", bool instrumental = false) {
        Lrclib::Record r;
        r.id = id;
        r.durationSeconds = seconds;
        r.syncedLyrics = QString::fromUtf8(synced);
        r.plainLyrics = QString::fromUtf8(plain);
        r.instrumental = instrumental;
        return r;
    };
    const std::vector<LyricChoice::Result> results = LyricChoice::ordered(
        {record(1, 233, "", "plain close"), record(2, 300, "[00:01.00]far"),
         record(3, std::nullopt, "[00:01.00]no length"), record(4, 240, "", "", true),
         record(5, 234, "[00:01.00]close"), record(6, 233, "", ""),
         record(7, 226, "[00:01.00]seven seconds off")},
        233'000);
    std::vector<qint64> ids;
    for (const LyricChoice::Result& result : results)
        ids.push_back(result.record.id);
    EXPECT_EQ(ids, (std::vector<qint64>{5, 7, 2, 3, 1, 4})); // 6 has no lyrics at all
    EXPECT_EQ(LyricChoice::kindText(results[0].kind), QStringLiteral("同步"));
    EXPECT_EQ(LyricChoice::kindText(results[4].kind), QStringLiteral("纯文本"));
    EXPECT_EQ(LyricChoice::kindText(results[5].kind), QStringLiteral("纯音乐"));

    // Each timed line as its time and text; the header lines show nothing.
    const LyricChoice::Result timed{
        {}, LyricChoice::Kind::Timed, {"[ar:Band]", "[00:01.50]one", "[01:02.00]two [x]"}};
    EXPECT_EQ(LyricChoice::preview(timed), (QStringList{"00:01.50  one", "01:02.00  "}));
    EXPECT_EQ(LyricChoice::lengthText(233'400), QStringLiteral("3:53"));
    EXPECT_TRUE(LyricChoice::lengthText(std::nullopt).isEmpty());
}

TEST(LyricChoice, InUseByTheLookupsOrderAndAFileOfTheUsersOwnAlwaysWins) {
    const struct {
        Kind beside;
        Kind inUserFolder;
        bool tagLyrics;
        InUse inUse;
        bool usersFileWins;
    } rows[] = {
        {Kind::None, Kind::None, false, InUse::None, false},
        {Kind::None, Kind::None, true, InUse::Tags, false},
        {Kind::Found, Kind::None, true, InUse::Found, false},
        {Kind::None, Kind::Chosen, true, InUse::Chosen, false},
        {Kind::Users, Kind::Chosen, false, InUse::UsersFile, true},
        {Kind::Chosen, Kind::Users, false, InUse::Chosen, true}, // saving would hide it
        {Kind::None, Kind::Users, true, InUse::UsersFile, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LyricChoice::inUse(row.beside, row.inUserFolder, row.tagLyrics), row.inUse);
        EXPECT_EQ(LyricChoice::usersFileWins(row.beside, row.inUserFolder), row.usersFileWins);
    }
}

} // namespace
