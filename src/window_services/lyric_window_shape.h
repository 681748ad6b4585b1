#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRegion>

class QWidget;
class WindowPresenter;

// What the window system is told of the lyric window's shape, in its picture's device
// pixels. Under a compositing manager the transparent pixels show the screen behind as they
// are, so only the pointer needs keeping to the lines of text; without one, the window is cut
// to its inked pixels. Locked, the pointer is taken nowhere.
struct LyricWindowShape {
    enum class Cut {
        Visible,             // shows, and takes the pointer, only inside region
        VisibleWithoutInput, // shows only inside region and takes the pointer nowhere
        InputOnly,           // shows whole and takes the pointer only inside region
    };
    // As a window is before its first picture: nothing of it shows.
    Cut cut = Cut::Visible;
    QRegion region;

    bool operator==(const LyricWindowShape&) const = default;

    // The shape of a window showing picture, whose lines have inkBoxes.
    static LyricWindowShape of(const QImage& picture, const QList<QRect>& inkBoxes,
                               bool compositing, bool locked);

    // The shape a window keeps while its next glyphs are drawn. Cut to its pixels, it leaves
    // the screen: cut straight from one line's glyphs to the next, the X server would repaint
    // the desktop under the old glyphs clipping each of its cells against every cell of the
    // new cut, a cost that grows with the square of the cells (thousands for a line of
    // Chinese). Cut to nothing first, the desktop is repainted against a plain clip once the
    // window manager's frame has followed, which it does while the picture is drawn, and the
    // new cut then uncovers only the window's own pixels, which it paints itself.
    LyricWindowShape whileRedrawn() const;

    bool showsNothing() const { return cut != Cut::InputOnly && region.isEmpty(); }

    // How a new picture reaches the window system from this shape. New glyphs take the cut
    // down first (whileRedrawn); new colours over the same glyphs keep it.
    struct Redraw;
    Redraw redrawn(bool newGlyphs) const;

    void sendTo(WindowPresenter& presenter, QWidget& window) const;
};

struct LyricWindowShape::Redraw {
    LyricWindowShape meanwhile; // told before the picture is made
    // The picture goes before the new cut. Sent while nothing of the window shows, it costs
    // the window system nothing to draw; the new cut then uncovers it, and the one copy the
    // window system asks for in return is all it draws of the line. Otherwise the new cut
    // goes first.
    bool pictureFirst = false;
};
