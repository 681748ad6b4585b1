#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <QWidget>

class ScreenGeometry;

// How a window that floats above all others reaches the screen: its shape, the part of it
// that takes the pointer, and its picture. Regions are in device pixels from the window's
// top-left corner: QWidget::setMask takes logical pixels, which on a high-density screen
// would cut the glyphs' edges into blocks of several pixels.
//
// On X11 the window is Qt's own and the presenter only cuts it. Where the window system lets
// no ordinary window place itself or stay above the others (a Wayland compositor), a
// presenter may draw the window itself, as a surface of its own: Qt's window then never
// reaches the screen, and the pointer's events on the surface come back to the window's
// widgets as Qt events.
class WindowPresenter : public QObject {
    Q_OBJECT
public:
    // Whether translucent pixels are blended with what lies behind them, so that
    // transparent pixels show the screen behind without any shape.
    virtual bool compositing() const = 0;

    // The window shows, and takes the pointer, only inside visible; nowhere when it is empty.
    virtual void showOnly(QWidget& window, const QRegion& visible) = 0;

    // The window shows only inside visible and takes the pointer nowhere: every press,
    // release and wheel goes to the windows below.
    virtual void showOnlyWithoutInput(QWidget& window, const QRegion& visible) = 0;

    // The whole window shows, as transparent as its pixels; the pointer is taken only
    // inside input, and passes to the windows below everywhere else.
    virtual void takeInputOnly(QWidget& window, const QRegion& input) = 0;

    // The screens as the presenter's window system knows them, where they are not Qt's: the
    // windows are placed on these, by these names. None: Qt's own.
    virtual const ScreenGeometry* screens() const { return nullptr; }

    // Whether windows taken into the presenter's care are drawn by it rather than by Qt.
    virtual bool drawsWindows() const { return false; }

    // Takes a window into the presenter's care; called once, before it is first shown.
    virtual void attach(QWidget& window) { Q_UNUSED(window); }

    // The window's picture is now picture (device pixels, carrying its pixel ratio), new at
    // most within changed (logical pixels). The window system hears nothing of a picture it
    // already shows, and of a new one only where its pixels differ: a window asked for the
    // same picture again must cost the window system and its compositor nothing.
    void present(QWidget& window, const QImage& picture, const QRect& changed);

Q_SIGNALS:
    // A compositing manager came or went.
    void compositingChanged();

protected:
    // The window's picture is now picture, differing from the one shown before only within
    // changed (device pixels, never empty). Qt's own window repaints that part from its
    // widget at once, so that a cut sent next uncovers it already drawn.
    virtual void showChange(QWidget& window, const QImage& picture, const QRect& changed);

private:
    QHash<const QWidget*, QImage> shown_; // the last picture each window was given
};
