#include "fakes/fake_media_engine.h"
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
        engine.state = PlayState::Playing;
        engine.position = QStringLiteral("01:23");
        engine.duration = QStringLiteral("04:56");
        labels = {"Label3", "Label5", "", "Label4", "Label6"};
    }
    void run(const QStringList& lines) {
        PlaybackTick::run(engine, LyricLineIndex(lines), labels,
                          [this](const QString& t) { drawn << t; });
    }
    FakeMediaEngine engine;
    Labels labels;
    QStringList drawn;
};

TEST_F(Tick, StatusTextsByPlayStateAndUnknownStatesKeepTheCaption) {
    const std::vector<std::pair<int, QString>> states = {
        {0, "还未执行任何操作"}, {1, "停止"},     {2, "暂停"},     {3, "正在播放"},
        {6, "正在缓冲"},         {9, "正在连接"}, {10, "准备就绪"}};
    for (const auto& [state, text] : states) {
        engine.state = state;
        run({});
        EXPECT_EQ(labels.status, text) << state;
    }
    for (int state : {4, 5, 7, 8, 11, -1, 99}) {
        engine.state = state;
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
    engine.position.reset();
    run({"[01:23.00]x"});
    EXPECT_EQ(labels.time, QStringLiteral("Label5"));
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(Tick, SeveralLinesOfTheSameSecondAreAllDrawnAndTheLastWins) {
    run({"[00:10.00]before", "[01:23.10]a", "[01:23.90]b", "[01:30.00]after"});
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
    engine.position = QString();
    run({"[00:01.00]one", "[00:02.00]two", "[00:03.00]three"});
    EXPECT_EQ(labels.lyric, QStringLiteral("three"));
    EXPECT_EQ(labels.currentTag, QStringLiteral("00:03.00"));
    EXPECT_EQ(labels.nextLineTag, QStringLiteral("00:03.00"));
    EXPECT_EQ(drawn.last(), QStringLiteral("three"));
}

TEST_F(Tick, PausedUpdatesTheLabelsButNotTheOverlay) {
    engine.state = PlayState::Paused;
    run({"[01:23.00]x"});
    EXPECT_EQ(labels.lyric, QStringLiteral("x"));
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(Tick, TheGateIsTheCaptionNotTheStateOfThisTick) {
    run({});
    engine.state = PlayState::MediaEnded; // keeps "playing" in the caption
    run({"[01:23.00]x"});
    EXPECT_EQ(drawn, QStringList{"x"});
    labels.status = QStringLiteral("Label3");
    engine.state = 5; // a first state that names no caption: the design caption stays
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
    FakeMediaEngine engine;
    engine.state = PlayState::Playing;
    engine.duration = QStringLiteral("04:56");
    for (int round = 0; round < 3000; ++round) {
        QStringList lines;
        for (int n = random.bounded(8); n > 0; --n)
            lines << randomText(12);
        engine.position = round % 50 == 0 ? QString() : randomText(4);
        PlaybackTick::Labels indexed{"正在播放", "t", "l", "n", "c"};
        PlaybackTick::Labels literal = indexed;
        QStringList indexedDraws;
        QStringList literalDraws;
        PlaybackTick::run(engine, LyricLineIndex(lines), indexed,
                          [&](const QString& text) { indexedDraws << text; });
        testsupport::literalLyricScan(lines, engine.position, literal,
                                      [&](const QString& text) { literalDraws << text; });
        ASSERT_EQ(indexedDraws, literalDraws)
            << lines.join(u'|').toStdString() << " @ " << engine.position->toStdString();
        ASSERT_EQ(indexed.lyric, literal.lyric);
        ASSERT_EQ(indexed.nextLineTag, literal.nextLineTag);
        ASSERT_EQ(indexed.currentTag, literal.currentTag);
    }
}

} // namespace
