#pragma once

// Whether a compositing manager blends windows with what lies behind them. Without one,
// a window's transparent pixels are not see-through and the window must be cut to shape.
class CompositingProbe {
public:
    virtual ~CompositingProbe() = default;
    virtual bool isCompositing() const = 0;
};
