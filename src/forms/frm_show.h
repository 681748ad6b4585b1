#pragma once

#include "desktop_lyric/lyric_renderer.h"
#include "forms/window_drag.h"
#include "window_services/lyric_window_placement.h"
#include "window_services/lyric_window_shape.h"
#include "window_services/screen_geometry.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class Dialogs;
class WindowPresenter;
class LyricSettings;
class LyricWindowPreferences;

// What the lyric window needs from the world outside it.
struct FrmShowServices {
    const ScreenGeometry& screen;
    Dialogs& dialogs;
    WindowPresenter& presenter;
    // Whether the drawing machinery came up. Qt's always does; tests make it fail. An
    // empty function counts as success.
    std::function<bool()> startGraphics;
    // The user's screen and lock; none: the primary screen, unlocked.
    LyricWindowPreferences* preferences = nullptr;
};

// The desktop lyric: a frameless, always-on-top window as wide as its screen, resting on
// the strip below the work area, that shows the current lyric line and nothing else. Where
// it goes, and what a drag does to it, is LyricWindowPlacement's; how a new picture and
// cut reach the window system, LyricWindowShape's. Locked, it takes no pointer at all.
// Constructing it loads it (without showing it); a load that fails leaves it unloaded, and
// the next drawing or show tries again.
class FrmShow : public QWidget {
    Q_OBJECT
public:
    FrmShow(LyricSettings& settings, FrmShowServices services, QWidget* parent = nullptr);
    ~FrmShow() override;

    // Draws the current lyric text again, with the settings as they are now.
    void RefreshText();

    // Makes text the current lyric text and shows it. An empty text changes nothing.
    void DrawText(const QString& text);
    // The last non-empty text handed to the window.
    const QString& text() const { return text_; }

    bool isLoaded() const { return loaded_; }

    // The picture the window shows; null before the first drawing since the last load.
    const QImage& picture();

    // Moves made so far go unreported, even those a hidden window would hear of only once
    // it shows: a window that places itself against this one now sees where it already is.
    void forgetMoves() { lastPosition_ = pos(); }

    // The screen the window was last placed on.
    const DesktopScreen& placedScreen() const { return placement_.screen(); }

    // Showing an unloaded window loads it first; one that cannot load stays hidden.
    void setVisible(bool visible) override;

Q_SIGNALS:
    // A mouse button went down on the window: a drag may follow.
    void dragStarted();
    // The window moved by delta since it was placed or last moved.
    void movedBy(QPoint delta);
    // The window was placed on screen, or a drag left it there.
    void restsOn(const DesktopScreen& screen);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    bool load();
    void unload();
    void placeOn(const DesktopScreen& screen, bool carryAlong);
    std::optional<DesktopScreen> chosenScreen() const;
    QString chosenScreenName() const;
    void moveTo(const DesktopScreen& screen);
    void followScreens(bool userChose);
    void dragEnded();
    bool locked() const;
    void schedulePresent();
    void present();
    QRect inkBounds() const;
    QRect inkArea() const;
    void reshape();
    void sendShape();

    LyricSettings& settings_;
    FrmShowServices services_;
    QString text_;
    LyricPicture picture_;
    LyricWindowShape shape_; // what the window system was last told
    bool loaded_ = false;
    bool presentPending_ = false;
    bool reportingFailure_ = false;
    QPoint lastPosition_;
    WindowDrag drag_;
    LyricWindowPlacement placement_;
    QTimer dragSettle_; // the moment a window moved by the window system keeps still
};
