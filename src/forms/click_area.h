#pragma once

#include "forms/click_recognizer.h"
#include "forms/image_button.h"

#include <QLabel>
#include <QWidget>

// An image control without a picture: a transparent area over a skin bitmap that reports
// a click when the mouse is pressed and released inside it.
class ClickArea : public ImageButton {
    Q_OBJECT
public:
    ClickArea(QWidget* parent, const QRect& geometry, const QString& toolTip = {});

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickRecognizer click_;
};

// A label that reports clicks, for the labels whose click has a handler. Its text is shown
// as it is, never as markup.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickRecognizer click_;
};
