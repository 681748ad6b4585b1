#pragma once

#include "window_services/mouse_track_platform.h"

#include <QStringList>

// A window system whose versions, pointer state and arming failures the test sets, and
// which records every arming and release call in order.
class FakeMouseTrackPlatform : public MouseTrackPlatform {
public:
    std::optional<SystemVersion> systemVersion() override { return version; }
    CommonControlsVersion commonControlsVersion() override {
        ++commonControlsProbes;
        return commonControls;
    }
    std::optional<MouseTrackError> trackMouseEvent(QWidget*) override {
        return record(QStringLiteral("track"));
    }
    std::optional<MouseTrackError> commonControlsTrackMouseEvent(QWidget*) override {
        return record(QStringLiteral("track common controls"));
    }
    std::optional<MouseTrackError> setCapture(QWidget*) override {
        return record(QStringLiteral("capture"));
    }
    void releaseCapture(QWidget*) override { calls << QStringLiteral("release"); }
    QWidget* windowFromPoint(const QPoint&) override { return underPointer; }
    Qt::MouseButtons mouseButtons() override { return buttons; }
    Qt::KeyboardModifiers keyboardModifiers() override { return modifiers; }
    int hoverTimeMs() override { return hoverTime; }

    std::optional<SystemVersion> version = SystemVersion{SystemVersion::PlatformNt, 5};
    CommonControlsVersion commonControls;
    std::optional<MouseTrackError> armingError;
    QWidget* underPointer = nullptr;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    int hoverTime = 20;

    QStringList calls;
    int commonControlsProbes = 0;

private:
    std::optional<MouseTrackError> record(const QString& call) {
        calls << (armingError ? call + QStringLiteral(" failed") : call);
        return armingError;
    }
};
