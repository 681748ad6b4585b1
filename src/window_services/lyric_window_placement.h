#pragma once

#include "window_services/screen_geometry.h"

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// Where the desktop lyric window rests, and what a drag does to it, decided apart from the
// window. The window rests on the screen the user chose while it is present, else on the
// primary; it fits its screen again whenever that screen changes, and a drag that leaves
// most of it on another screen moves it there at the height it was dragged to.
//
// A drag is open from a press on the window until the next placement or press: a window
// manager that moves the window itself may tell of no release, or tell of it before it
// tells where the window went, so the drag is over once the window has kept still for a
// moment (the window's settle timer) or, where the window moved itself, at the release.
class LyricWindowPlacement {
public:
    // The window is placed on screen: its geometry, at the height a drag left it or resting
    // on the panel. Ends any drag.
    QRect placeOn(const DesktopScreen& screen, int height);
    // The screen the window was last placed on.
    const DesktopScreen& screen() const { return placedOn_; }

    // The screens changed (userChose false), or the user chose one (true): the screen the
    // window goes to, none where it stays. A screen the user chose puts the window back to
    // rest on its panel, even the one it is on.
    std::optional<DesktopScreen> screenToFollow(const QList<DesktopScreen>& screens,
                                                const QString& chosenName, bool userChose);

    // A press on the window: a drag may follow.
    void pressed() { dragOpen_ = true; }
    enum class AfterRelease {
        Nothing, // no drag is open, or a button is still down
        Settle,  // the window system moves the window: the drag ends once it keeps still
        End,     // the window moved itself: the drag is over now
    };
    AfterRelease released(bool buttonsDown, bool movedByWindowSystem) const;
    // The window moved: whether that belongs to a drag, which then settles anew.
    bool moveBelongsToDrag() const { return dragOpen_; }

    struct DragEnd {
        enum class Kind {
            Nothing,   // no screen holds the window
            RestsHere, // still on its screen, at the height it was dragged to
            MovesTo,   // most of it is on screen: it goes there, which is now the user's
        };
        Kind kind = Kind::Nothing;
        DesktopScreen screen;
    };
    // The drag is over with the window at geometry. A window that cannot leave its output
    // (a layer surface) stays on its screen whatever its geometry.
    DragEnd dragEnded(const QList<DesktopScreen>& screens, const QRect& geometry,
                      bool boundToItsScreen);

private:
    DesktopScreen placedOn_;
    // Where the user dragged the window to, from its screen's top; none while it rests on
    // the panel.
    std::optional<int> draggedTop_;
    bool dragOpen_ = false;
};
