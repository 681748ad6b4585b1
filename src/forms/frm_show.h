#pragma once

#include "desktop_lyric/lyric_renderer.h"
#include "forms/window_drag.h"

#include <QPoint>
#include <QRegion>
#include <QWidget>
#include <functional>

class Dialogs;
class ScreenGeometry;
class WindowPresenter;
class LyricSettings;

// What the lyric window needs from the world outside it.
struct FrmShowServices {
    const ScreenGeometry& screen;
    Dialogs& dialogs;
    WindowPresenter& presenter;
    // Whether the drawing machinery came up. Qt's always does; tests make it fail. An
    // empty function counts as success.
    std::function<bool()> startGraphics;
};

// The desktop lyric: a frameless, always-on-top window as wide as the screen, resting on
// the strip below the work area, that shows the current lyric line and nothing else.
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

    bool isLoaded() const { return loaded_; }

    // The picture the window shows; null before the first drawing since the last load.
    const QImage& picture();

    // Moves made so far go unreported, even those a hidden window would hear of only once
    // it shows: a window that places itself against this one now sees where it already is.
    void forgetMoves() { lastPosition_ = pos(); }

    // Showing an unloaded window loads it first; one that cannot load stays hidden.
    void setVisible(bool visible) override;

Q_SIGNALS:
    // A mouse button went down on the window: a drag may follow.
    void dragStarted();
    // The window moved by delta since it was placed or last moved.
    void movedBy(QPoint delta);

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
    void placeAboveTaskbar();
    void schedulePresent();
    void present();
    QRect inkBounds() const;
    QRect inkArea() const;
    void reshape();
    void sendShape();

    LyricSettings& settings_;
    FrmShowServices services_;
    LyricPicture picture_;
    // What the window system was last told, in the picture's device pixels.
    struct Shape {
        bool inputOnly = false;
        QRegion region;
        bool operator==(const Shape&) const = default;
    } shape_;
    bool loaded_ = false;
    bool presentPending_ = false;
    bool reportingFailure_ = false;
    QPoint lastPosition_;
    WindowDrag drag_;
};
