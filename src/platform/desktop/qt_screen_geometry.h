#pragma once

#include "base/coalesced_call.h"
#include "window_services/screen_geometry.h"

class QScreen;

// The screens as the window system reports them to Qt. Without a screen every rectangle is
// empty and the list is empty.
class QtScreenGeometry final : public ScreenGeometry {
public:
    QtScreenGeometry();

    QRect screen() const override;
    QRect workArea() const override;
    QList<DesktopScreen> screens() const override;

private:
    void watch(QScreen* screen);

    // A screen change comes as several of Qt's signals in a row; the listeners hear of it once.
    CoalescedCall announce_;
};
