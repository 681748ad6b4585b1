#pragma once

#include "fakes/fake_desktop_services.h"
#include "fakes/fake_mouse_track_platform.h"
#include "fakes/fake_screen_geometry.h"
#include "fakes/fake_window_text_channel.h"
#include "forms/lyric_windows.h"

#include <QString>
#include <functional>
#include <memory>

// What a test puts in the place of the world's fakes under the lyric windows: the real
// screens, the real pointer tracking, a presenter of its own, drawing machinery that fails.
struct RealParts {
    const ScreenGeometry* screen = nullptr;
    MouseTrackPlatform* mouseTrack = nullptr;
    WindowPresenter* presenter = nullptr;
    std::function<bool()> startGraphics = [] { return true; };
};

// Everything the windows ask of the desktop, faked, with the lyric windows built on it.
// The media engine is left to the user, who may want a fake or the real one.
struct FakeWorld {
    explicit FakeWorld(const QString& programFolder, RealParts parts = {})
        : real(std::move(parts)), programFolder_(programFolder) {}

    // The lyric windows, made the first time they are asked for as the program makes them:
    // what they read at their start (settings, preferences) a test writes before.
    LyricWindows& lyricWindows() {
        if (!lyricWindows_)
            lyricWindows_ = std::make_unique<LyricWindows>(
                LyricWindowServices{real.screen ? *real.screen : screen, dialogs, textChannel,
                                    real.mouseTrack ? *real.mouseTrack : mouseTrack, programFolder_,
                                    real.startGraphics, real.presenter});
        return *lyricWindows_;
    }
    // The next ask makes them anew, as the next start of the program does; in another program
    // folder if one is given.
    void restartLyricWindows(const QString& programFolder = {}) {
        lyricWindows_.reset();
        if (!programFolder.isEmpty())
            programFolder_ = programFolder;
    }

    RealParts real;
    FakeDesktopLauncher launcher;
    FakeFontInstallation fonts;
    FakeDialogs dialogs;
    FakeScreenGeometry screen;
    FakeWindowTextChannel textChannel;
    FakeMouseTrackPlatform mouseTrack;

private:
    QString programFolder_;
    std::unique_ptr<LyricWindows> lyricWindows_;
};
