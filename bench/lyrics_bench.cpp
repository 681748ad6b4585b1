// Loading a full lyric store, indexing it, and the playback tick over it, for ordinary
// files and for the worst files the loader's limits let through.
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"
#include "lyrics/playback_tick.h"
#include "player/media_engine.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QStringList fullStore() {
    QStringList lines;
    for (int i = 0; i < LyricFile::MaxLines; ++i)
        lines << QStringLiteral("[%1:%2.00]第 %3 行歌词 line of lyrics")
                     .arg(i / 60 % 100, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(i);
    return lines;
}

// One line as long as the loader takes, holding every position text of ten minutes over
// and over: every second of the track matches it.
QByteArray lyricBomb() {
    QByteArray cycle;
    for (int second = 0; second < 600; ++second)
        cycle += QStringLiteral("[%1:%2.00]")
                     .arg(second / 60, 2, 10, QLatin1Char('0'))
                     .arg(second % 60, 2, 10, QLatin1Char('0'))
                     .toLatin1();
    QByteArray line = cycle.repeated(LyricFile::MaxBytes / cycle.size() + 1);
    line.truncate(LyricFile::MaxBytes);
    return line;
}

// The same second in every line the store holds: the most lines one tick can match.
QStringList everyLineMatches() {
    return QStringList(LyricFile::MaxLines, QStringLiteral("[12:34.00]第 行歌词 line"));
}

QString writeLyricFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    QFile file(dir.filePath(QStringLiteral("song.lrc")));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return dir.filePath(QStringLiteral("song.mp3"));
}

void LoadLyricLines_32767(benchmark::State& state) {
    QTemporaryDir dir;
    const QString media =
        writeLyricFile(dir, fullStore().join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(LyricLineIndex(LyricFile::loadLines(media)));
}
BENCHMARK(LoadLyricLines_32767)->Unit(benchmark::kMillisecond);

void LoadLyricLines_Bomb(benchmark::State& state) {
    QTemporaryDir dir;
    const QString media = writeLyricFile(dir, lyricBomb());
    for (auto _ : state)
        benchmark::DoNotOptimize(LyricLineIndex(LyricFile::loadLines(media)));
}
BENCHMARK(LoadLyricLines_Bomb)->Unit(benchmark::kMillisecond);

// One tick at mm:ss, as the engine's position in milliseconds gives it.
void tick(benchmark::State& state, const LyricLineIndex& lines, int minutes, int seconds) {
    PlaybackTick::Reading reading;
    reading.state = PlayState::Playing;
    reading.hasMedia = true;
    reading.position = (minutes * 60 + seconds) * 1000 + 250;
    reading.duration = (99 * 60 + 59) * 1000;
    PlaybackTick::Labels labels;
    int draws = 0;
    for (auto _ : state)
        PlaybackTick::run(reading, lines, labels, [&](const QString&) { ++draws; });
    state.counters["draws/tick"] = benchmark::Counter(draws, benchmark::Counter::kAvgIterations);
}

void PlaybackTick_32767Lines(benchmark::State& state) {
    tick(state, LyricLineIndex(fullStore()), 12, 34);
}
BENCHMARK(PlaybackTick_32767Lines)->Unit(benchmark::kMicrosecond);

void PlaybackTick_Bomb(benchmark::State& state) {
    QTemporaryDir dir;
    tick(state, LyricLineIndex(LyricFile::loadLines(writeLyricFile(dir, lyricBomb()))), 5, 30);
}
BENCHMARK(PlaybackTick_Bomb)->Unit(benchmark::kMicrosecond);

void PlaybackTick_EveryLineMatches(benchmark::State& state) {
    tick(state, LyricLineIndex(everyLineMatches()), 12, 34);
}
BENCHMARK(PlaybackTick_EveryLineMatches)->Unit(benchmark::kMicrosecond);

} // namespace
