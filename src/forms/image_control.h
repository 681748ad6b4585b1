#pragma once

#include "forms/click_recognizer.h"
#include "forms/image_button.h"

#include <QPixmap>
#include <QWidget>

// An image control that shows a picture: unscaled from its top-left corner, and sized to
// each new picture it is given. Like a windowless image it takes the mouse over its own
// area, so the surface beneath hears nothing while the pointer is on the image, whether
// or not anything listens to the image's signals.
class ImageControl : public ImageButton {
    Q_OBJECT
public:
    ImageControl(QWidget* parent, const QRect& geometry, const QPixmap& picture,
                 const QString& toolTip = {});

    const QPixmap& picture() const { return picture_; }

    // Returns whether the picture changed. A null picture keeps the control's size.
    bool setPicture(const QPixmap& picture);

Q_SIGNALS:
    void mouseMoved();   // with or without a button held
    void mousePressed(); // any button, each press of a double-click too
    // clicked(): the left button pressed and released over the image

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    ClickRecognizer click_;
};
