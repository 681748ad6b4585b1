#pragma once

#include <QByteArray>
#include <QString>

// Which displays answer at start-up, and which Qt platform the user asked for (empty: none).
struct DisplaysFound {
    QByteArray requestedPlatform;
    bool x11 = false;     // an X server, Xwayland included
    bool wayland = false; // a Wayland compositor
};

// How the program starts: on qpaPlatform, or (when that is empty) not at all, with refusal as
// the one line that says why. A notice is said once at start.
struct StartPlatform {
    QByteArray qpaPlatform;
    QString refusal;
    QString notice;
};

// The desktop lyric places itself and stays on top; X11 (Xwayland too) lets a window do so,
// and so the main window stays on it whenever an X display answers, where the delay commands
// find their receiver too. With only a Wayland display the program runs on Qt's Wayland
// platform; with none, it says so instead of letting the platform plug-in abort.
StartPlatform chooseStartPlatform(const DisplaysFound& found);

// Whether a display of each kind answers, as named by DISPLAY and WAYLAND_DISPLAY: each is
// connected to and let go at once.
bool x11DisplayAnswers();
bool waylandDisplayAnswers();
