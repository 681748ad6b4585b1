#pragma once

#include "fakes/fake_desktop_services.h"
#include "fakes/fake_mouse_track_platform.h"
#include "fakes/fake_screen_geometry.h"
#include "fakes/fake_window_text_channel.h"
#include "forms/lyric_windows.h"

#include <QString>

// Everything the windows ask of the desktop, faked, with the lyric windows built on it.
// The media engine is left to the user, who may want a fake or the real one.
struct FakeWorld {
    explicit FakeWorld(const QString& programFolder)
        : lyricWindows(
              LyricWindowServices{screen, dialogs, textChannel, mouseTrack, programFolder}) {}

    FakeDesktopLauncher launcher;
    FakeFontInstallation fonts;
    FakeDialogs dialogs;
    FakeScreenGeometry screen;
    FakeWindowTextChannel textChannel;
    FakeMouseTrackPlatform mouseTrack;
    LyricWindows lyricWindows;
};
