#include "lyric_sources/lrclib_protocol.h"
#include "support/fake_lrclib_server.h"

#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

const QUrl Base("https://lrclib.example/");

Lrclib::Track track(std::optional<qint64> durationMs = 233'400) {
    return {"Title & Co", "Artist", "Album", durationMs};
}

TEST(LrclibRequests, LookupNamesEveryTagAndTheDurationInSeconds) {
    const QUrl url = Lrclib::lookupUrl(Base, track());
    EXPECT_EQ(url.scheme(), "https");
    EXPECT_EQ(url.path(), "/api/get");
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue("track_name", QUrl::FullyDecoded), "Title & Co");
    EXPECT_EQ(query.queryItemValue("artist_name"), "Artist");
    EXPECT_EQ(query.queryItemValue("album_name"), "Album");
    EXPECT_EQ(query.queryItemValue("duration"), "233");
}

TEST(LrclibRequests, LookupNeedsTitleArtistAndDuration) {
    EXPECT_TRUE(Lrclib::lookupUrl(Base, track(std::nullopt)).isEmpty());
    EXPECT_TRUE(Lrclib::lookupUrl(Base, {"Title", "", "Album", 1000}).isEmpty());
    // The album is optional.
    EXPECT_FALSE(QUrlQuery(Lrclib::lookupUrl(Base, {"Title", "Artist", "", 1000}))
                     .hasQueryItem("album_name"));
}

TEST(LrclibRequests, SearchByTitleAndArtistUnderTheBasePath) {
    const QUrl url = Lrclib::searchUrl(QUrl("http://127.0.0.1:8080/mirror/"), track());
    EXPECT_EQ(url.path(), "/mirror/api/search");
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue("track_name", QUrl::FullyDecoded), "Title & Co");
    EXPECT_EQ(query.queryItemValue("artist_name"), "Artist");
    EXPECT_FALSE(query.hasQueryItem("duration"));
    EXPECT_TRUE(Lrclib::searchUrl(Base, {}).isEmpty());
}

TEST(LrclibAnswers, RecordFieldsWithNullsAndMissingOnes) {
    const auto record =
        Lrclib::parseRecord(FakeLrclibServer::record(7, "Song", 233.5, "[00:01.00]la", QString()));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->id, 7);
    EXPECT_EQ(record->trackName, "Song");
    EXPECT_EQ(record->durationSeconds, 233.5);
    EXPECT_EQ(record->syncedLyrics, "[00:01.00]la");
    EXPECT_TRUE(record->plainLyrics.isEmpty());

    const auto bare = Lrclib::parseRecord(R"({"id": 1})");
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->durationSeconds);
}

TEST(LrclibAnswers, AnythingButARecordIsNoRecord) {
    for (const char* answer :
         {"", "{", "null", "[]", R"({"code":404,"name":"TrackNotFound"})",
          "<html><body>Service unavailable</body></html>", R"({"id":"7"})", "\xFF\xFE{}"})
        EXPECT_FALSE(Lrclib::parseRecord(answer)) << answer;
}

TEST(LrclibAnswers, SearchListKeepsOnlyRecords) {
    const QByteArray list = "[" + FakeLrclibServer::record(1, "a", 10, "[00:01]a") +
                            ", 5, null, {\"no\":\"id\"}, " +
                            FakeLrclibServer::record(2, "b", 10, "[00:01]b") + "]";
    const auto records = Lrclib::parseRecords(list);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ((*records)[1].id, 2);
    EXPECT_FALSE(Lrclib::parseRecords(FakeLrclibServer::record(1, "a", 10, "")));
}

TEST(LrclibRequests, UntaggedFileNamesSplitAtTheFirstDashWithTextOnBothSides) {
    const std::pair<const char*, const char*> rows[] = {
        {"Artist - Title - Live", "Artist|Title - Live"},
        {"A-ha - Take On Me", "A-ha|Take On Me"},
        {"Zelvorin-玫瑰花的葬礼", "Zelvorin|玫瑰花的葬礼"},
        {" - Title", ""},
        {"-Title", ""},
        {"Title-", ""},
        {"Title", ""}};
    for (const auto& [name, split] : rows) {
        const auto parts = Lrclib::splitFileName(QString::fromUtf8(name));
        EXPECT_EQ(parts ? parts->artist + u'|' + parts->title : QString(),
                  QString::fromUtf8(split));
    }
}

TEST(LrclibAnswers, CandidatesWithinTwoSecondsSyncedFirstClosestFirst) {
    const auto record = [](qint64 id, std::optional<double> duration, bool synced) {
        Lrclib::Record r;
        r.id = id;
        r.durationSeconds = duration;
        (synced ? r.syncedLyrics : r.plainLyrics) = "[00:01.00]x";
        return r;
    };
    const std::vector<Lrclib::Record> records{record(1, 231.3, true), record(2, 235.3, false),
                                              record(3, 300, true),   record(4, std::nullopt, true),
                                              record(5, 233.0, true), record(6, 235.4, true),
                                              record(7, 235.5, true), record(8, 233.5, true)};
    std::vector<qint64> ids;
    for (const auto& candidate : Lrclib::candidatesFor(track(233'400), records))
        ids.push_back(candidate.id);
    EXPECT_EQ(ids, (std::vector<qint64>{8, 5, 6, 2}));
    EXPECT_EQ(Lrclib::candidatesFor(track(std::nullopt), records).size(), records.size());
    EXPECT_TRUE(Lrclib::candidatesFor(track(), {}).empty());
}

TEST(LrclibAnswers, SyncedLyricsPreferredPlainKeptUntimedInstrumentalHasNone) {
    Lrclib::Record record;
    record.syncedLyrics = "[00:01.00]timed\n[00:02.00]lines";
    record.plainLyrics = "timed\nlines";
    EXPECT_EQ(Lrclib::lyricsOf(record).kind, Lrclib::Lyrics::Kind::Synced);
    EXPECT_EQ(Lrclib::lyricsOf(record).lines, (QStringList{"[00:01.00]timed", "[00:02.00]lines"}));

    record.syncedLyrics = "not lrc at all";
    EXPECT_EQ(Lrclib::lyricsOf(record).kind, Lrclib::Lyrics::Kind::Plain);
    EXPECT_EQ(Lrclib::lyricsOf(record).lines, (QStringList{"timed", "lines"}));

    record.plainLyrics = " \n ";
    EXPECT_EQ(Lrclib::lyricsOf(record).kind, Lrclib::Lyrics::Kind::None);

    record.instrumental = true;
    record.syncedLyrics = "[00:01.00]ignored";
    EXPECT_EQ(Lrclib::lyricsOf(record).kind, Lrclib::Lyrics::Kind::Instrumental);
    EXPECT_TRUE(Lrclib::lyricsOf(record).lines.isEmpty());
}

} // namespace
