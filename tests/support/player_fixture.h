#pragma once

#include "core/player_core.h"
#include "fakes/fake_media_engine.h"
#include "fakes/fake_media_tag_reader.h"
#include "fakes/fake_world.h"
#include "forms/form1.h"
#include "support/temp_folder.h"

#include <QTest>
#include <QTimer>
#include <memory>

// A player core on fakes, with a temporary program folder and working directory, and its
// main window when a test needs one.
class PlayerFixture {
public:
    PlayerFixture() { fonts.folder = fontHome.file(QStringLiteral("fonts")); }
    // A read the test held would keep the core's tag loader waiting for it.
    ~PlayerFixture() { tagReader.release(); }

    // Makes the core and runs its start-up, as the program does before it shows a window.
    PlayerCore& start() {
        player = std::make_unique<PlayerCore>(
            PlayerCoreServices{engine, launcher, fonts, lyricWindows, programFolder.path(),
                               workingDir.path(), [this] { ++processEnds; }, lyricSources});
        player->load();
        return *player;
    }
    // The main window over the core, started first if need be.
    Form1& window() {
        if (!player)
            start();
        if (!mainWindow)
            mainWindow =
                std::make_unique<Form1>(Form1Services{*player, dialogs, launcher, lyricWindows});
        return *mainWindow;
    }
    // A control of the main window by its design name.
    template <typename Control = QWidget> Control* control(const char* name) {
        return window().findChild<Control*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    // Writes data.dat in the program folder before the player starts.
    void writePlaylist(const QByteArray& bytes) {
        programFolder.write(QStringLiteral("data.dat"), bytes);
    }
    // data.dat holding these entries, and the player started on it with the first entry
    // played as start-up plays it; the engine's record starts afresh after that.
    PlayerCore& startWith(const QStringList& entries) {
        QByteArray bytes = QByteArray::number(entries.size()) + "\r\n";
        for (const QString& entry : entries)
            bytes += entry.toUtf8() + "\r\n";
        writePlaylist(bytes);
        start();
        player->timer3Tick();
        engine.calls.clear();
        return *player;
    }
    // One of the core's timers, by its design name.
    QTimer* timer(const char* name) const {
        return player->findChild<QTimer*>(QString::fromLatin1(name));
    }
    QStringList entries() const { return player->playlist().model().entries().paths(); }

    TempFolder programFolder;
    TempFolder workingDir;
    TempFolder fontHome;
    FakeMediaEngine engine;
    // Tags from the fake reader; covers and the user's lyric files in folders of the test's.
    // The online search is off and, unless a test names a server, asks none.
    FakeMediaTagReader tagReader;
    TempFolder userData;
    LyricSourceServices lyricSources{&tagReader,
                                     userData.file(QStringLiteral("art")),
                                     userData.file(QStringLiteral("lyrics")),
                                     userData.file(QStringLiteral("vellora.conf")),
                                     {},
                                     {}};
    FakeWorld world{programFolder.path()};
    FakeDesktopLauncher& launcher = world.launcher;
    FakeFontInstallation& fonts = world.fonts;
    FakeDialogs& dialogs = world.dialogs;
    LyricWindows& lyricWindows = world.lyricWindows();
    int processEnds = 0;
    std::unique_ptr<PlayerCore> player;
    std::unique_ptr<Form1> mainWindow;
};
