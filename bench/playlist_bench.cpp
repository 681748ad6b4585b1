// Adding a large folder to the playlist through the main window.
#include "fakes/fake_desktop_services.h"
#include "fakes/fake_lyric_compositing.h"
#include "fakes/fake_media_engine.h"
#include "fakes/fake_screen_geometry.h"
#include "forms/click_area.h"
#include "forms/form1.h"
#include "forms/lyric_windows.h"

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
    FakeDesktopLauncher launcher;
    FakeFontInstallation fonts;
    FakeDialogs dialogs;
    FakeScreenGeometry screen;
    FakeLyricCompositing compositing;
    LyricWindows lyricWindows(LyricWindowServices{screen, dialogs, compositing, program.path()});
    Form1 form(Form1Services{engine, launcher, fonts, dialogs, lyricWindows, program.path(),
                             program.path(), [] {}});
    for (auto _ : state) {
        form.List2->clear();
        dialogs.folderAnswers = {music.path()};
        Q_EMIT form.Image4->clicked();
    }
    state.counters["entries"] = form.List2->count();
}
BENCHMARK(AddFolder_5000Files)->Unit(benchmark::kMillisecond);

} // namespace
