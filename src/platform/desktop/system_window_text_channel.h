#pragma once

#include "window_services/window_text_channel.h"

#include <memory>

// The window system of the platform the program was built for. Without a display to talk
// to, nothing is ever found.
class SystemWindowTextChannel final : public WindowTextChannel {
public:
    SystemWindowTextChannel();
    ~SystemWindowTextChannel() override;
    SystemWindowTextChannel(const SystemWindowTextChannel&) = delete;
    SystemWindowTextChannel& operator=(const SystemWindowTextChannel&) = delete;

    Handle findTopLevel(const QString& title) override;
    Handle findDirectChild(Handle parent, const QString& windowClass, const QString& text) override;
    void setText(Handle window, const QString& text) override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};
