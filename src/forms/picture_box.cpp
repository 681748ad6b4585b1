#include "forms/picture_box.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent, const QRect& geometry, const QPixmap& picture)
    : QWidget(parent), picture_(picture) {
    setGeometry(geometry);
    // A click on the strip beside its buttons is no click on the window behind it.
    setAttribute(Qt::WA_NoMousePropagation);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}
