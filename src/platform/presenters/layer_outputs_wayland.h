#pragma once

#include "window_services/screen_geometry.h"

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct wl_output;
struct wl_registry;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

// The compositor's outputs as a connection of the program's own sees them, with the names,
// places and sizes the compositor gives them: the screens a layer surface can be put on.
// Xwayland names its screens after a count of its own (XWAYLAND0, XWAYLAND1…), which starts
// anew for an output that comes back, so the compositor's names (HDMI-A-1) are the ones to
// remember. The work area is the whole output: the compositor keeps a layer surface clear of
// the panels by itself. The primary is the output where Qt's primary screen lies.
class LayerOutputs final : public ScreenGeometry {
public:
    // changed runs whenever an output came, went, or was described anew.
    explicit LayerOutputs(std::function<void()> changed);
    ~LayerOutputs();
    LayerOutputs(const LayerOutputs&) = delete;
    LayerOutputs& operator=(const LayerOutputs&) = delete;

    // A global the registry announced; true when it was one of the outputs' own.
    bool offer(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    // A global the registry took away.
    void remove(uint32_t name);
    // Lets go of every output, before the connection closes.
    void release();

    // The output that holds point, else the primary; null without outputs.
    wl_output* at(QPoint point) const;
    // Where that output lies; empty for one the compositor took away.
    QRect area(const wl_output* output) const;

    QRect screen() const override;
    QRect workArea() const override { return screen(); }
    QList<DesktopScreen> screens() const override;

    struct Output; // one output and what the compositor said of it
    void announce();

private:
    void describe(Output& output);

    std::function<void()> changed_;
    zxdg_output_manager_v1* manager_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
};
