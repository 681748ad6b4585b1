#include "window_services/lyric_window_shape.h"

#include "window_services/window_presenter.h"
#include "window_services/window_shape.h"

LyricWindowShape LyricWindowShape::of(const QImage& picture, const QList<QRect>& inkBoxes,
                                      bool compositing, bool locked) {
    LyricWindowShape shape;
    if (compositing) {
        shape.cut = Cut::InputOnly;
        if (!locked)
            for (const QRect& box : inkBoxes)
                shape.region += box;
        return shape;
    }
    QRect inked;
    for (const QRect& box : inkBoxes)
        inked |= box;
    shape.cut = locked ? Cut::VisibleWithoutInput : Cut::Visible;
    shape.region = WindowShape::inkedPixels(picture, inked);
    return shape;
}

LyricWindowShape LyricWindowShape::whileRedrawn() const {
    if (cut == Cut::InputOnly)
        return *this;
    return LyricWindowShape{cut, QRegion()};
}

LyricWindowShape::Redraw LyricWindowShape::redrawn(bool newGlyphs) const {
    if (!newGlyphs)
        return {*this, false};
    const LyricWindowShape meanwhile = whileRedrawn();
    return {meanwhile, meanwhile.showsNothing()};
}

void LyricWindowShape::sendTo(WindowPresenter& presenter, QWidget& window) const {
    switch (cut) {
    case Cut::Visible:
        presenter.showOnly(window, region);
        break;
    case Cut::VisibleWithoutInput:
        presenter.showOnlyWithoutInput(window, region);
        break;
    case Cut::InputOnly:
        presenter.takeInputOnly(window, region);
        break;
    }
}
