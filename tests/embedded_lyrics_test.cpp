#include "lyric_sources/embedded_lyrics.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"

#include <gtest/gtest.h>

namespace {

using EmbeddedLyrics::TimedText;

TEST(EmbeddedLyrics, TimeTagsNameTheSecondTheTickShows) {
    EXPECT_EQ(EmbeddedLyrics::timeTag(0), "[00:00.00]");
    EXPECT_EQ(EmbeddedLyrics::timeTag(83'459), "[01:23.45]");
    // Rounded up, 1.999 s would be tagged with the next second and shown too late.
    EXPECT_EQ(EmbeddedLyrics::timeTag(1'999), "[00:01.99]");
    EXPECT_EQ(EmbeddedLyrics::timeTag(3'600'000), "[60:00.00]");
    EXPECT_EQ(EmbeddedLyrics::timeTag(6'000'000 + 5'010), "[100:05.01]");
    EXPECT_EQ(EmbeddedLyrics::timeTag(UINT32_MAX), "[71582:47.29]");
}

TEST(EmbeddedLyrics, SynchronizedEntriesBecomeOneTimedLineEachInTimeOrder) {
    const std::vector<TimedText> entries{{5'000, "second"},
                                         {1'000, "\nfirst\r\nline"},
                                         {5'000, "same time, kept after"},
                                         {9'000, ""}};
    EXPECT_EQ(EmbeddedLyrics::fromSynchronized(entries),
              (QStringList{"[00:01.00]first line", "[00:05.00]second",
                           "[00:05.00]same time, kept after", "[00:09.00]"}));
}

TEST(EmbeddedLyrics, SynchronizedTextsAreCutToWhatTheLabelsShow) {
    const QString huge(100'000, u'x');
    const QStringList lines = EmbeddedLyrics::fromSynchronized({{0, huge}});
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), 10 + LyricLineIndex::MaxShownLength);
}

TEST(EmbeddedLyrics, BoundedByTheLyricFileLimits) {
    // The earliest entries are the ones kept, wherever the tag stores them.
    std::vector<TimedText> many;
    for (std::uint32_t i = 40'000; i > 0; --i)
        many.push_back({i * 10, "la"});
    const QStringList timed = EmbeddedLyrics::fromSynchronized(many);
    ASSERT_EQ(timed.size(), LyricFile::MaxLines);
    EXPECT_EQ(timed.first(), "[00:00.01]la");
    EXPECT_EQ(timed.last(), EmbeddedLyrics::timeTag(LyricFile::MaxLines * 10) + "la");

    // 4 MiB lines of three-byte characters: one fits, the second would pass 8 MiB.
    const QString line(4 * 1024 * 1024 / 3 + 1, QChar(0x4E2D));
    const QStringList lines = EmbeddedLyrics::boundedLines(line + "\n" + line + "\n[00:01]x");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], line);
}

TEST(EmbeddedLyrics, TimedLinesAreRecognisedAsTheTickReadsThem) {
    for (const char* timed :
         {"[00:01.00]a", "[00:01]a", "[123:45.6]", "  [01:02:03]x", "\xEF\xBB\xBF[00:01.00]a"})
        EXPECT_TRUE(EmbeddedLyrics::isTimedLine(QString::fromUtf8(timed))) << timed;
    for (const char* untimed : {"", "plain", "[ti:Title]", "[00:1.00]a", "[0a:01]", "x[00:01]",
                                "[00:01.]", "[00:01", "[:01]"})
        EXPECT_FALSE(EmbeddedLyrics::isTimedLine(QString::fromUtf8(untimed))) << untimed;
}

TEST(EmbeddedLyrics, LrcTextIsTakenAsStoredAndPlainTextGivesNothing) {
    EXPECT_EQ(EmbeddedLyrics::fromLrcText(u"[ti:Song]\r\n\r\n[00:01.00] one\r[00:02.00]two\n"),
              (QStringList{"[ti:Song]", "", "[00:01.00] one", "[00:02.00]two"}));
    EXPECT_TRUE(EmbeddedLyrics::fromLrcText(u"first verse\nsecond verse\n").isEmpty());
    EXPECT_TRUE(EmbeddedLyrics::fromLrcText(u"").isEmpty());
}

TEST(EmbeddedLyrics, SourcesAreTriedInOrderUntilOneGivesLines) {
    EmbeddedLyrics::Sources sources;
    sources.texts = {"plain words", "[00:02.00]from the second text", "[00:03.00]third"};
    EXPECT_EQ(EmbeddedLyrics::linesOf(sources), QStringList{"[00:02.00]from the second text"});
    sources.synchronized = {{}, {{1'000, "synchronised"}}};
    EXPECT_EQ(EmbeddedLyrics::linesOf(sources), QStringList{"[00:01.00]synchronised"});
    EXPECT_TRUE(EmbeddedLyrics::linesOf({}).isEmpty());
}

} // namespace
