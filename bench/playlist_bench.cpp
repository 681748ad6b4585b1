// Adding a large folder to the playlist through the main window.
#include "fakes/fake_media_engine.h"
#include "fakes/fake_world.h"
#include "forms/click_area.h"
#include "forms/form1.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void AddFolder_5000Files(benchmark::State& state) {
    QTemporaryDir music;
    for (int i = 0; i < 5000; ++i) {
        QFile file(music.filePath(QStringLiteral("track %1.mp3").arg(i, 4, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
    }
    QTemporaryDir program;
    FakeMediaEngine engine;
    FakeWorld world(program.path());
    Form1 form(Form1Services{engine, world.launcher, world.fonts, world.dialogs, world.lyricWindows,
                             program.path(), program.path(), [] {}});
    for (auto _ : state) {
        form.List2->clear();
        world.dialogs.folderAnswers = {music.path()};
        Q_EMIT form.Image4->clicked();
    }
    state.counters["entries"] = form.List2->count();
}
BENCHMARK(AddFolder_5000Files)->Unit(benchmark::kMillisecond);

} // namespace
