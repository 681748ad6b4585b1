#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <xcb/xcb.h>

// Keeps the pointer passing through the uncut part of X11 windows under mutter's Wayland
// session.
//
// There mutter takes the whole of an Xwayland window as its input region again with every
// picture Xwayland commits, and puts the window's X11 input shape back only on the first
// picture committed after a change of that shape. So each picture is followed by a change
// (the shape less one pixel at its first cell, then whole again), and later, when the
// compositor is sure to have had the picture, by a change and one more picture. After the
// change mutter is asked to keep the window off the pager (where it already is), which it
// answers by writing the window's state anew, having read the change first: the picture
// that follows its answer is committed after it.
class MutterInputRenewal final : public QObject, public QAbstractNativeEventFilter {
public:
    using CutInput = std::function<void(QWidget& window, const QRegion& input)>;
    struct Atoms {
        xcb_atom_t state;     // _NET_WM_STATE
        xcb_atom_t skipPager; // _NET_WM_STATE_SKIP_PAGER
    };

    MutterInputRenewal(Atoms atoms, xcb_connection_t* connection, CutInput cutInput);
    ~MutterInputRenewal() override;

    void watch(QWidget& window) { window.installEventFilter(this); }
    // The window now takes the pointer only inside input.
    void inputIs(QWidget& window, const QRegion& input);
    // The window takes the pointer everywhere it shows.
    void forget(QWidget& window) { kept_.remove(xcb_window_t(window.internalWinId())); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Kept {
        QPointer<QWidget> window;
        QRegion region;
        bool lessOnePixel = false;
        bool renewalQueued = false;
        bool repaintForRenewal = false;
        int round = 0; // a new picture starts the late renewals afresh
        int lateRenewalsLeft = 0;
        int answersAwaited = 0;
    };

    void pictureSent(xcb_window_t id);
    void renew(xcb_window_t id);
    void scheduleLateRenewal(xcb_window_t id, int afterMs);
    void renewLate(xcb_window_t id);

    Atoms atoms_;
    xcb_connection_t* connection_;
    xcb_window_t root_;
    CutInput cutInput_;
    QHash<xcb_window_t, Kept> kept_;
};
