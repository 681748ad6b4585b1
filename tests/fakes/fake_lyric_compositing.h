#pragma once

#include "platform/compositing_probe.h"

// A compositing manager that runs or not, as the test says.
class FakeLyricCompositing : public CompositingProbe {
public:
    bool isCompositing() const override {
        ++questions;
        return compositing;
    }

    bool compositing = true;
    mutable int questions = 0;
};
