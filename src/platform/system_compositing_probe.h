#pragma once

#include "platform/compositing_probe.h"

// Asks the window system of the running application. Window systems other than X11
// always composite.
class SystemCompositingProbe final : public CompositingProbe {
public:
    bool isCompositing() const override;
};
