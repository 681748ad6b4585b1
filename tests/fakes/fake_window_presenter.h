#pragma once

#include "window_services/window_presenter.h"

// A window system with a compositing manager when the test says so, which keeps the last
// shape it was given and counts them.
class FakeWindowPresenter : public WindowPresenter {
public:
    bool compositing() const override { return compositingManager; }
    void showOnly(QWidget&, const QRegion& visible) override { record(false, visible); }
    void takeInputOnly(QWidget&, const QRegion& input) override { record(true, input); }
    void showOnlyWithoutInput(QWidget&, const QRegion& visible) override {
        record(false, visible);
        noInput = true;
    }

    void setCompositing(bool running) {
        compositingManager = running;
        Q_EMIT compositingChanged();
    }

    bool compositingManager = false;
    int shapes = 0;
    int presents = 0;       // new pictures that reached the window system
    QRect lastChange;       // the last one's changed pixels
    bool inputOnly = false; // whether the last shape was takeInputOnly's
    bool noInput = false;   // whether the last shape was showOnlyWithoutInput's
    QRegion region;         // the last shape's, device pixels
    QRegion regionAtChange; // the shape the window had when the last new picture came

protected:
    void showChange(QWidget& window, const QImage& picture, const QRect& changed) override {
        ++presents;
        lastChange = changed;
        regionAtChange = region;
        WindowPresenter::showChange(window, picture, changed);
    }

private:
    void record(bool input, const QRegion& shape) {
        ++shapes;
        inputOnly = input;
        noInput = false;
        region = shape;
    }
};
