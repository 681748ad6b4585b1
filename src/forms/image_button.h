#pragma once

#include <QWidget>

// What every image of a skin that works as a button shares: Tab reaches it and draws the
// focus around it, Space or Enter presses it, and a screen reader sees a push button by its
// name (the tooltip's words where it has a tooltip) with a press action.
class ImageButton : public QWidget {
    Q_OBJECT
public:
    ImageButton(QWidget* parent, const QRect& geometry, const QString& toolTip);

    // As a click does.
    void press() { Q_EMIT clicked(); }

Q_SIGNALS:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The focus frame, over whatever the button shows.
    void paintFocus();
};
