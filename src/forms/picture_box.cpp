#include "forms/picture_box.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent, const QRect& geometry, const QPixmap& picture)
    : QWidget(parent), picture_(picture) {
    setGeometry(geometry);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}
