#pragma once

#include <QLabel>
#include <QWidget>

// An image control without a picture: a transparent area over a skin bitmap that reports
// a click when the mouse is pressed and released inside it.
class ClickArea : public QWidget {
    Q_OBJECT
public:
    ClickArea(QWidget* parent, const QRect& geometry, const QString& toolTip = {});

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A label that reports clicks, for the labels whose click has a handler.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
