#pragma once

#include "window_services/window_text_channel.h"

#include <QStringList>

// A desktop holding the receiving player's text box; every text written to it is kept.
class FakeWindowTextChannel : public WindowTextChannel {
public:
    Handle findTopLevel(const QString&) override { return 1; }
    Handle findDirectChild(Handle parent, const QString&, const QString&) override {
        return parent == 0 ? 0 : 2;
    }
    void setText(Handle window, const QString& text) override {
        if (window != 0)
            texts << text;
    }

    QStringList texts;
};
