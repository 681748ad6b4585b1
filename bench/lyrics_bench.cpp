// Loading a full lyric store and scanning it on every playback tick.
#include "fakes/fake_media_engine.h"
#include "lyrics/lyric_file.h"
#include "lyrics/playback_tick.h"

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

void LoadLyricLines_32767(benchmark::State& state) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("song.lrc")));
    file.open(QIODevice::WriteOnly);
    file.write(fullStore().join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    file.close();
    const QString media = dir.filePath(QStringLiteral("song.mp3"));
    for (auto _ : state)
        benchmark::DoNotOptimize(LyricFile::loadLines(media));
}
BENCHMARK(LoadLyricLines_32767)->Unit(benchmark::kMillisecond);

void PlaybackTick_32767Lines(benchmark::State& state) {
    const QStringList lines = fullStore();
    FakeMediaEngine engine;
    engine.state = PlayState::Playing;
    engine.position = QStringLiteral("12:34");
    engine.duration = QStringLiteral("99:59");
    PlaybackTick::Labels labels;
    int draws = 0;
    for (auto _ : state)
        PlaybackTick::run(engine, lines, labels, [&](const QString&) { ++draws; });
    benchmark::DoNotOptimize(draws);
}
BENCHMARK(PlaybackTick_32767Lines)->Unit(benchmark::kMicrosecond);

} // namespace
