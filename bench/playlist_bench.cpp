// The playlist at its largest: adding a large folder, and starting on a full data.dat, each
// with the main window showing the list.
#include "core/player_core.h"
#include "fakes/fake_media_engine.h"
#include "fakes/fake_world.h"
#include "forms/form1.h"
#include "player/playlist_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Player {
    explicit Player(const QString& folder)
        : world(folder), core(PlayerCoreServices{engine, world.launcher, world.fonts,
                                                 world.lyricWindows(), folder, folder, [] {}}) {}
    FakeMediaEngine engine;
    FakeWorld world;
    PlayerCore core;
};

void AddFolder_5000Files(benchmark::State& state) {
    QTemporaryDir music;
    for (int i = 0; i < 5000; ++i) {
        QFile file(music.filePath(QStringLiteral("track %1.mp3").arg(i, 4, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
    }
    QTemporaryDir program;
    Player player(program.path());
    Form1 window(Form1Services{player.core, player.world.dialogs, player.world.launcher,
                               player.world.lyricWindows()});
    window.show();
    for (auto _ : state) {
        player.core.playlist().clear();
        player.core.playlist().addFolder(music.path());
    }
    state.counters["entries"] = player.core.playlist().model().count();
}
BENCHMARK(AddFolder_5000Files)->Unit(benchmark::kMillisecond);

// One outside call (Files.Open over D-Bus, or the command line) naming a folder of 2,000
// MP3s 20,000 times: the playlist fills and the rest is only counted. Target: under 2 s.
void OpenPaths_SameFolder20000Times(benchmark::State& state) {
    QTemporaryDir music;
    for (int i = 0; i < 2000; ++i) {
        QFile file(music.filePath(QStringLiteral("track %1.mp3").arg(i, 4, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
    }
    const QStringList paths(20'000, music.path());
    QTemporaryDir program;
    Player player(program.path());
    for (auto _ : state) {
        player.core.playlist().clear();
        player.core.playlist().openPaths(paths);
    }
    state.counters["entries"] = player.core.playlist().model().count();
}
BENCHMARK(OpenPaths_SameFolder20000Times)->Unit(benchmark::kMillisecond);

// One outside call naming a folder of 3,000 text files, which adds nothing, 15,000 times: the
// playlist never fills, so only listing each folder once keeps the call short. The player
// answers nothing else on the bus meanwhile; target: well under 1 s.
void OpenPaths_FolderWithoutMedia15000Times(benchmark::State& state) {
    QTemporaryDir notes;
    for (int i = 0; i < 3000; ++i) {
        QFile file(notes.filePath(QStringLiteral("note %1.txt").arg(i)));
        file.open(QIODevice::WriteOnly);
    }
    const QStringList paths(15'000, notes.path());
    QTemporaryDir program;
    Player player(program.path());
    for (auto _ : state)
        player.core.playlist().openPaths(paths);
}
BENCHMARK(OpenPaths_FolderWithoutMedia15000Times)->Unit(benchmark::kMillisecond);

// A data.dat of the largest playlist, in a folder of its own.
struct FullPlaylistFile {
    FullPlaylistFile() {
        QByteArray playlist = "32767\r\n";
        for (int i = 0; i < PlaylistFile::MaxEntries; ++i)
            playlist +=
                "/home/user/Music/Some Artist - Track " + QByteArray::number(i) + ".mp3\r\n";
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        file.write(playlist);
    }
    QString path() const { return program.filePath(QString::fromLatin1(PlaylistFile::FileName)); }
    QTemporaryDir program;
};

void LoadPlaylistFile_Full(benchmark::State& state) {
    const FullPlaylistFile file;
    for (auto _ : state)
        benchmark::DoNotOptimize(PlaylistFile::load(file.path()));
}
BENCHMARK(LoadPlaylistFile_Full)->Unit(benchmark::kMillisecond);

// From data.dat to the window on screen, as the program starts.
void Start_FullPlaylist(benchmark::State& state) {
    const FullPlaylistFile file;
    for (auto _ : state) {
        Player player(file.program.path());
        player.core.load();
        Form1 window(Form1Services{player.core, player.world.dialogs, player.world.launcher,
                                   player.world.lyricWindows()});
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(Start_FullPlaylist)->Unit(benchmark::kMillisecond);

} // namespace
