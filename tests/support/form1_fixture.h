#pragma once

#include "fakes/fake_media_engine.h"
#include "fakes/fake_world.h"
#include "forms/form1.h"
#include "support/temp_folder.h"

#include <memory>

// A main window on fakes, with a temporary program folder and working directory.
class Form1Fixture {
public:
    Form1Fixture() { fonts.folder = fontHome.file(QStringLiteral("fonts")); }

    Form1& start() {
        mainWindow = std::make_unique<Form1>(
            Form1Services{engine, launcher, fonts, dialogs, lyricWindows, programFolder.path(),
                          workingDir.path(), [this] { ++processEnds; }});
        return *mainWindow;
    }

    // Writes data.dat in the program folder before the window starts.
    void writePlaylist(const QByteArray& bytes) {
        programFolder.write(QStringLiteral("data.dat"), bytes);
    }

    TempFolder programFolder;
    TempFolder workingDir;
    TempFolder fontHome;
    FakeMediaEngine engine;
    FakeWorld world{programFolder.path()};
    FakeDesktopLauncher& launcher = world.launcher;
    FakeFontInstallation& fonts = world.fonts;
    FakeDialogs& dialogs = world.dialogs;
    LyricWindows& lyricWindows = world.lyricWindows;
    int processEnds = 0;
    std::unique_ptr<Form1> mainWindow;
};
