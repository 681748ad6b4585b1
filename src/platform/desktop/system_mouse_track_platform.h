#pragma once

#include "window_services/mouse_track_platform.h"

// Mouse tracking on the platform the program was built for.
class SystemMouseTrackPlatform final : public MouseTrackPlatform {
public:
    std::optional<SystemVersion> systemVersion() override;
    CommonControlsVersion commonControlsVersion() override;
    std::optional<MouseTrackError> trackMouseEvent(QWidget* window) override;
    std::optional<MouseTrackError> commonControlsTrackMouseEvent(QWidget* window) override;
    std::optional<MouseTrackError> setCapture(QWidget* window) override;
    void releaseCapture(QWidget* window) override;
    QWidget* windowFromPoint(const QPoint& globalPos) override;
    Qt::MouseButtons mouseButtons() override;
    Qt::KeyboardModifiers keyboardModifiers() override;
    int hoverTimeMs() override;
};
