#pragma once

#include "desktop_lyric/lyric_settings.h"
#include "fakes/fake_desktop_services.h"
#include "fakes/fake_mouse_track_platform.h"
#include "fakes/fake_screen_geometry.h"
#include "fakes/fake_window_text_channel.h"
#include "forms/lyric_windows.h"
#include "platform/presenters/system_window_presenter.h"
#include "settings/program_settings.h"

#include <QString>
#include <functional>
#include <memory>

// What a test puts in the place of the world's fakes under the lyric windows: the real
// screens, the real pointer tracking, a presenter of its own, drawing machinery that fails.
struct RealParts {
    const ScreenGeometry* screen = nullptr;
    MouseTrackPlatform* mouseTrack = nullptr;
    // None: the presenter of the window system the test runs on, made on first use.
    std::function<WindowPresenter&()> presenter = {};
    std::function<bool()> startGraphics = [] { return true; };
};

// Everything the windows ask of the desktop, faked, with the lyric windows built on it as
// the program builds them. The media engine is left to the user, who may want a fake or the
// real one.
struct FakeWorld {
    explicit FakeWorld(const QString& programFolder, RealParts parts = {})
        : real(std::move(parts)), programFolder_(programFolder),
          lyricSettings_(
              std::make_unique<LyricSettings>(ProgramSettings::in(programFolder).lyricLook)) {
        if (!real.presenter)
            real.presenter = systemWindowPresenterOnFirstUse();
    }

    // The lyric windows, made the first time they are asked for as the program makes them:
    // what they read at their start (the preferences) a test writes before.
    LyricWindows& lyricWindows() {
        if (!lyricWindows_)
            lyricWindows_ = std::make_unique<LyricWindows>(LyricWindowServices{
                *lyricSettings_, real.screen ? *real.screen : screen, dialogs, textChannel,
                real.mouseTrack ? *real.mouseTrack : mouseTrack,
                programFolder_.isEmpty() ? QString() : ProgramSettings::in(programFolder_).program,
                real.presenter, real.startGraphics});
        return *lyricWindows_;
    }
    // The next ask makes the windows anew, as the program's next start does, over the same
    // settings; or in another program folder, with the settings found there.
    void restartLyricWindows(const QString& programFolder = {}) {
        lyricWindows_.reset();
        if (programFolder.isEmpty())
            return;
        programFolder_ = programFolder;
        lyricSettings_ =
            std::make_unique<LyricSettings>(ProgramSettings::in(programFolder).lyricLook);
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
    std::unique_ptr<LyricSettings> lyricSettings_;
    std::unique_ptr<LyricWindows> lyricWindows_;
};
