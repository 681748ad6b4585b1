#pragma once

#include "window_services/window_presenter.h"

#include <QTransform>
#include <memory>

// A real presenter that counts the new pictures that reach it: a window that repaints only what
// is new asks for exactly one repaint per new picture, counted here at the moment it asks.
class CountingPresenter : public WindowPresenter {
public:
    explicit CountingPresenter(std::unique_ptr<WindowPresenter> inner) : inner_(std::move(inner)) {
        connect(inner_.get(), &WindowPresenter::compositingChanged, this,
                &WindowPresenter::compositingChanged);
    }

    bool compositing() const override { return inner_->compositing(); }
    void showOnly(QWidget& window, const QRegion& visible) override {
        inner_->showOnly(window, visible);
    }
    void showOnlyWithoutInput(QWidget& window, const QRegion& visible) override {
        inner_->showOnlyWithoutInput(window, visible);
    }
    void takeInputOnly(QWidget& window, const QRegion& input) override {
        inner_->takeInputOnly(window, input);
    }
    bool drawsWindows() const override { return inner_->drawsWindows(); }
    void attach(QWidget& window) override { inner_->attach(window); }

    int presents = 0;

protected:
    void showChange(QWidget& window, const QImage& picture, const QRect& changed) override {
        ++presents;
        const qreal scale = picture.devicePixelRatio();
        inner_->present(
            window, picture,
            QTransform::fromScale(1 / scale, 1 / scale).mapRect(QRectF(changed)).toAlignedRect());
    }

private:
    std::unique_ptr<WindowPresenter> inner_;
};
