#include "platform/system_compositing_probe.h"

#include <QByteArray>
#include <QGuiApplication>

// Xlib after Qt: its macros (None, Bool, Status…) would otherwise clash with Qt's names.
#include <X11/Xlib.h>

bool SystemCompositingProbe::isCompositing() const {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return true; // not on X11 (offscreen, Wayland): windows are composited or invisible
    // A compositing manager announces itself by owning this selection for its screen.
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.constData(), False);
    return XGetSelectionOwner(display, selection) != None;
}
