#include "forms/image_control.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent, const QRect& geometry, const QPixmap& picture,
                           const QString& toolTip)
    : ImageButton(parent, geometry, toolTip), picture_(picture) {
    // Moves without a button held change the picture too.
    setMouseTracking(true);
}

bool ImageControl::setPicture(const QPixmap& picture) {
    if (picture.cacheKey() == picture_.cacheKey())
        return false;
    picture_ = picture;
    if (!picture_.isNull())
        resize(picture_.size());
    update();
    return true;
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (!picture_.isNull())
        QPainter(this).drawPixmap(0, 0, picture_);
    paintFocus();
}

// The handlers accept every event (Qt delivers them accepted), which keeps them from the
// surface beneath.
void ImageControl::mousePressEvent(QMouseEvent* event) {
    click_.pressed(*event);
    Q_EMIT mousePressed();
}

// The second press of a double-click presses the image like the first, but arms no second
// click: a double-click counts as one.
void ImageControl::mouseDoubleClickEvent(QMouseEvent*) {
    click_.doubleClicked();
    Q_EMIT mousePressed();
}

void ImageControl::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT mouseMoved();
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    if (click_.released(*event, rect()))
        Q_EMIT clicked();
}
