#include "forms/click_area.h"

ClickArea::ClickArea(QWidget* parent, const QRect& geometry, const QString& toolTip)
    : ImageButton(parent, geometry, toolTip) {}

void ClickArea::paintEvent(QPaintEvent*) {
    paintFocus();
}

void ClickArea::mousePressEvent(QMouseEvent* event) {
    click_.pressed(*event);
}

void ClickArea::mouseDoubleClickEvent(QMouseEvent*) {
    click_.doubleClicked();
}

void ClickArea::mouseReleaseEvent(QMouseEvent* event) {
    if (click_.released(*event, rect()))
        Q_EMIT clicked();
}

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    click_.pressed(*event);
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent*) {
    click_.doubleClicked();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (click_.released(*event, rect()))
        Q_EMIT clicked();
}
