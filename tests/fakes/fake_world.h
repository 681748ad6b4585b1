#pragma once

#include "fakes/fake_desktop_services.h"
#include "fakes/fake_mouse_track_platform.h"
#include "fakes/fake_screen_geometry.h"
#include "fakes/fake_window_text_channel.h"
#include "forms/lyric_windows.h"
#include "platform/presenters/system_window_presenter.h"

#include <QString>

// Everything the windows ask of the desktop, faked, with the lyric windows built on it as
// the program builds them (on the presenter of the window system the test runs on).
// The media engine is left to the user, who may want a fake or the real one.
struct FakeWorld {
    explicit FakeWorld(const QString& programFolder)
        : lyricSettings(programFolder),
          lyricWindows(LyricWindowServices{lyricSettings, screen, dialogs, textChannel, mouseTrack,
                                           programFolder, systemWindowPresenterOnFirstUse()}) {}

    FakeDesktopLauncher launcher;
    FakeFontInstallation fonts;
    FakeDialogs dialogs;
    FakeScreenGeometry screen;
    FakeWindowTextChannel textChannel;
    FakeMouseTrackPlatform mouseTrack;
    LyricSettings lyricSettings;
    LyricWindows lyricWindows;
};
