#include "lyrics/lyric_line_index.h"
#include "lyrics/playback_tick.h"
#include "support/literal_tick.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

using PlaybackTick::Labels;

class Tick : public ::testing::Test {
protected:
    Tick() {
        reading.state = PlayState::Playing;
        reading.hasMedia = true;
        reading.position = 83'450;  // 01:23
        reading.duration = 296'000; // 04:56
        labels = {"Label3", "Label5", "", "Label4", "Label6"};
    }
    int run(const QStringList& lines) {
        return PlaybackTick::run(reading, LyricLineIndex(lines), labels,
                                 [this](const QString& t) { drawn << t; });
    }
    PlaybackTick::Reading reading;
    Labels labels;
    QStringList drawn;
};

TEST_F(Tick, StatusTextsByPlayStateAndUnknownStatesKeepTheCaption) {
    const std::vector<std::pair<int, QString>> states = {
        {0, "还未执行任何操作"}, {1, "停止"},     {2, "暂停"},     {3, "正在播放"},
        {6, "正在缓冲"},         {9, "正在连接"}, {10, "准备就绪"}};
    for (const auto& [state, text] : states) {
        reading.state = PlayState(state);
        run({});
        EXPECT_EQ(labels.status, text) << state;
    }
    for (int state : {4, 5, 7, 8, 11, -1, 99}) {
        reading.state = PlayState(state);
        run({});
        EXPECT_EQ(labels.status, QStringLiteral("准备就绪")) << state;
    }
}

TEST_F(Tick, EmptyStoreChangesOnlyStatusAndTime) {
    run({});
    EXPECT_EQ(labels.status, QStringLiteral("正在播放"));
    EXPECT_EQ(labels.time, QStringLiteral("01:23/04:56"));
    EXPECT_EQ(labels.lyric, QString());
    EXPECT_EQ(labels.nextLineTag, QStringLiteral("Label4"));
    EXPECT_EQ(labels.currentTag, QStringLiteral("Label6"));
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(Tick, NoCurrentMediaKeepsTheTimeAndMatchesNothing) {
    reading.hasMedia = false;
    EXPECT_EQ(run({"[01:23.00]x"}), -1);
    EXPECT_EQ(labels.time, QStringLiteral("Label5"));
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(Tick, SeveralLinesOfTheSameSecondAreAllDrawnAndTheLastWins) {
    EXPECT_EQ(run({"[00:10.00]before", "[01:23.10]a", "[01:23.90]b", "[01:30.00]after"}), 2);
    EXPECT_EQ(drawn, (QStringList{"a", "b"}));
    EXPECT_EQ(labels.lyric, QStringLiteral("b"));
    EXPECT_EQ(labels.currentTag, QStringLiteral("01:23.90"));
    EXPECT_EQ(labels.nextLineTag, QStringLiteral("01:30.00"));
}

TEST_F(Tick, FirstTagIsShownNotTheMatchingOne) {
    run({"[00:05.00][01:23.00]x"});
    EXPECT_EQ(labels.lyric, QStringLiteral("x"));
    EXPECT_EQ(labels.currentTag, QStringLiteral("00:05.00"));
}

TEST_F(Tick, LastLineKeepsTheNextTagLabel) {
    run({"[01:23.00]last"});
    EXPECT_EQ(labels.nextLineTag, QStringLiteral("Label4"));
}

TEST_F(Tick, TagWithoutTextDrawsAnEmptyText) {
    run({"[01:23.45]"});
    EXPECT_EQ(labels.lyric, QString());
    EXPECT_EQ(drawn, QStringList{""});
}

TEST_F(Tick, LinesWithoutBrackets) {
    run({"01:23]abc"});
    EXPECT_EQ(labels.currentTag, QStringLiteral("01:23"));
    EXPECT_EQ(labels.lyric, QStringLiteral("abc"));
    run({"plain 01:23 text"});
    EXPECT_EQ(labels.lyric, QStringLiteral("plain 01:23 text"));
    EXPECT_EQ(labels.currentTag, QStringLiteral("01:23"));
}

TEST_F(Tick, EmptyPositionMatchesEveryLine) {
    labels.status = QStringLiteral("正在播放");
    PlaybackTick::showLines(QString(),
                            LyricLineIndex({"[00:01.00]one", "[00:02.00]two", "[00:03.00]three"}),
                            labels, [this](const QString& t) { drawn << t; });
    EXPECT_EQ(labels.lyric, QStringLiteral("three"));
    EXPECT_EQ(labels.currentTag, QStringLiteral("00:03.00"));
    EXPECT_EQ(labels.nextLineTag, QStringLiteral("00:03.00"));
    EXPECT_EQ(drawn.last(), QStringLiteral("three"));
}

TEST_F(Tick, PausedUpdatesTheLabelsButNotTheOverlay) {
    reading.state = PlayState::Paused;
    run({"[01:23.00]x"});
    EXPECT_EQ(labels.lyric, QStringLiteral("x"));
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(Tick, TheGateIsTheCaptionNotTheStateOfThisTick) {
    run({});
    reading.state = PlayState::MediaEnded; // keeps "playing" in the caption
    run({"[01:23.00]x"});
    EXPECT_EQ(drawn, QStringList{"x"});
    labels.status = QStringLiteral("Label3");
    reading.state = PlayState::ScanReverse; // names no caption: the design caption stays
    run({"[01:23.00]x"});
    EXPECT_EQ(labels.status, QStringLiteral("Label3"));
    EXPECT_EQ(drawn.size(), 1);
}

TEST_F(Tick, ShortMinutesNeverMatch) {
    run({"[1:23.45]x"});
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(Tick, LongLinesAreCutForTheLabelsAndTheOverlay) {
    const QString text(100000, u'x');
    const QString tag = QStringLiteral("01:23") + QString(100000, u'.');
    run({u'[' + tag + u']' + text});
    EXPECT_EQ(labels.lyric, text.left(LyricLineIndex::MaxShownLength));
    EXPECT_EQ(labels.currentTag, tag.left(LyricLineIndex::MaxShownLength));
    EXPECT_EQ(drawn, QStringList{labels.lyric});
}

TEST(TickTimes, MinutesAndSecondsOfTwoDigitsAtLeastCountingPastTheHour) {
    const std::pair<qint64, const char*> times[] = {{0, "00:00"},         {999, "00:00"},
                                                    {1000, "00:01"},      {83'999, "01:23"},
                                                    {4'503'000, "75:03"}, {-5, "00:00"}};
    for (const auto& [milliseconds, text] : times)
        EXPECT_EQ(PlaybackTick::timeText(milliseconds), QString::fromLatin1(text)) << milliseconds;
}

// The tick comes back when the second moves on, from the same reading that made its texts: a
// reading a millisecond before a second ends wakes it a millisecond later, not a second later.
TEST(TickTimes, TheNextWakeIsWhenTheReadPositionReachesItsNextSecond) {
    PlaybackTick::Reading reading;
    reading.hasMedia = true;
    const auto wake = [&](qint64 position, double rate) {
        reading.position = position;
        reading.rate = rate;
        return PlaybackTick::untilNextSecond(reading);
    };
    EXPECT_EQ(wake(5'999, 1), 1);
    EXPECT_EQ(wake(5'000, 1), 1000);
    EXPECT_EQ(wake(5'000, 1.5), 667);
    EXPECT_EQ(wake(5'400, 0.7), 858);
    EXPECT_EQ(wake(5'000, 1e-9), 3600 * 1000);
    EXPECT_EQ(wake(5'000, 0), std::nullopt);
    reading.hasMedia = false;
    EXPECT_EQ(wake(5'000, 1), std::nullopt);
}

// The index must find exactly the lines a plain scan finds, in the same order, whatever the
// lines and the position text: random stores of tag-like fragments, positions of every form
// an engine or a fake may give (long minutes, no colon, empty).
TEST(TickIndex, ComesOutAsThePlainScanForRandomStoresAndPositions) {
    QRandomGenerator random(20261207);
    const QStringList fragments = {"[",   "]", "0", "1",  "2",          "9",      ":",     "01:",
                                   "1:2", ".", "x", "中", "[01:23.45]", "123:45", "01:23", ""};
    const auto randomText = [&](int maxParts) {
        QString text;
        for (int n = random.bounded(maxParts); n > 0; --n)
            text += fragments.at(random.bounded(int(fragments.size())));
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        QStringList lines;
        for (int n = random.bounded(8); n > 0; --n)
            lines << randomText(12);
        const QString position = round % 50 == 0 ? QString() : randomText(4);
        PlaybackTick::Labels indexed{"正在播放", "t", "l", "n", "c"};
        PlaybackTick::Labels literal = indexed;
        QStringList indexedDraws;
        QStringList literalDraws;
        PlaybackTick::showLines(position, LyricLineIndex(lines), indexed,
                                [&](const QString& text) { indexedDraws << text; });
        testsupport::literalLyricScan(lines, position, literal,
                                      [&](const QString& text) { literalDraws << text; });
        ASSERT_EQ(indexedDraws, literalDraws)
            << lines.join(u'|').toStdString() << " @ " << position.toStdString();
        ASSERT_EQ(indexed.lyric, literal.lyric);
        ASSERT_EQ(indexed.nextLineTag, literal.nextLineTag);
        ASSERT_EQ(indexed.currentTag, literal.currentTag);
    }
}

} // namespace
