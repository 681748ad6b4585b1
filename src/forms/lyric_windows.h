#pragma once

#include "core/desktop_lyric.h"
#include "desktop_lyric/lyric_settings.h"
#include "desktop_lyric/lyric_window_preferences.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class Dialogs;
class FrmSet;
class FrmShow;
class MouseTrackPlatform;
class ScreenGeometry;
class WindowPresenter;
class WindowTextChannel;

// What the desktop lyric's windows need from the world outside them.
struct LyricWindowServices {
    LyricSettings& settings; // the look, shared with the main window
    const ScreenGeometry& screen;
    Dialogs& dialogs;
    WindowTextChannel& textChannel; // the toolbar's delay commands
    MouseTrackPlatform& mouseTrack; // the toolbar's leave tracking
    // vellora.conf (settings/program_settings.h), which holds the screen and the lock; empty:
    // they are kept for this run only.
    QString settingsFile;
    // How the lyric window and the toolbar reach the screen; asked for once, when the first
    // of them is made, so that start-up need not wait for the window system's answers.
    std::function<WindowPresenter&()> presenter;
    // Whether the drawing machinery came up; see FrmShowServices.
    std::function<bool()> startGraphics = [] { return true; };
};

// The desktop lyric's two windows. Each is created and loaded, not shown, the first time
// anything asks for it, and lives as long as this owner.
class LyricWindows : public DesktopLyric {
public:
    explicit LyricWindows(LyricWindowServices services);
    ~LyricWindows() override;
    LyricWindows(const LyricWindows&) = delete;
    LyricWindows& operator=(const LyricWindows&) = delete;

    LyricSettings& settings() override { return services_.settings; }
    void DrawText(const QString& text) override;
    void SetColor(qint16 n) override;
    void showLyricWindow() override;
    void hideLyricWindow() override;

    FrmShow& frmShow();
    FrmSet& frmSet();
    // The line the lyric window shows; empty before its first.
    QString shownText() const;

    // The user's screen and lock.
    LyricWindowPreferences& preferences() { return preferences_; }
    // The screens the windows are placed on, by the names the user chooses from.
    const ScreenGeometry& screens();

    bool hasFrmShow() const { return frmShow_ != nullptr; }
    // Runs once the lyric window is made, at once when it already is.
    void whenLyricWindowMade(std::function<void(FrmShow&)> then);
    bool hasFrmSet() const { return frmSet_ != nullptr; }

private:
    WindowPresenter& presenter();

    LyricWindowServices services_;
    LyricWindowPreferences preferences_;
    WindowPresenter* presenter_ = nullptr; // once asked for
    // The toolbar refers to the lyric window, so it is declared after it and goes first.
    std::unique_ptr<FrmShow> frmShow_;
    std::vector<std::function<void(FrmShow&)>> whenLyricWindowMade_;
    std::unique_ptr<FrmSet> frmSet_;
};
