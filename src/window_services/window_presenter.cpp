#include "window_services/window_presenter.h"

#include "window_services/picture_change.h"

#include <QTransform>

void WindowPresenter::present(QWidget& window, const QImage& picture, const QRect& changed) {
    auto shown = shown_.find(&window);
    if (shown == shown_.end()) {
        connect(&window, &QObject::destroyed, this, [this, key = &window] { shown_.remove(key); });
        shown = shown_.insert(&window, QImage());
    }
    const qreal scale = picture.devicePixelRatio();
    const QRect within =
        QTransform::fromScale(scale, scale).mapRect(QRectF(changed)).toAlignedRect();
    const QRect differs = PictureChange::between(*shown, picture, within);
    *shown = picture;
    if (!differs.isEmpty())
        showChange(window, picture, differs);
}

void WindowPresenter::showChange(QWidget& window, const QImage& picture, const QRect& changed) {
    const qreal scale = picture.devicePixelRatio();
    window.repaint(
        QTransform::fromScale(1 / scale, 1 / scale).mapRect(QRectF(changed)).toAlignedRect());
}
