#include "platform/presenters/layer_outputs_wayland.h"

#include "platform/presenters/layer_reading.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <wayland-client.h>
#include <xdg-output-unstable-v1-client-protocol.h>

struct LayerOutputs::Output {
    LayerOutputs* owner = nullptr;
    uint32_t global = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* described = nullptr;
    QString name;
    QString model;
    QRect area; // as last described in full
    // What the compositor says, as it says it: taken into the area once it is done.
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    int scale = 1;
    bool complete = false; // described to its end at least once

    ~Output() {
        if (described)
            zxdg_output_v1_destroy(described);
        if (output) {
            if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
                wl_output_release(output);
            else
                wl_output_destroy(output);
        }
    }
};

namespace {

using Output = LayerOutputs::Output;

// Every change comes to an end with done; only then are the listeners told. A new output may
// say it is done before it has said where it lies, or describe itself absurdly: either way it
// is no screen to place a lyric on.
void told(void* data) {
    auto* output = static_cast<Output*>(data);
    const std::optional<QRect> area =
        describedArea(output->x, output->y, output->width, output->height);
    output->complete = area.has_value();
    if (area)
        output->area = *area;
    output->owner->announce();
}

const wl_output_listener outputListener = {
    // geometry: the place, until the description in the compositor's own space says otherwise
    [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char* make,
       const char* model, int32_t) {
        auto* output = static_cast<Output*>(data);
        output->model = QStringLiteral("%1 %2")
                            .arg(QString::fromUtf8(make), QString::fromUtf8(model))
                            .trimmed();
        if (!output->described) {
            output->x = x;
            output->y = y;
        }
    },
    // mode: the size in pixels, until the description gives it in the compositor's space
    [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
        auto* output = static_cast<Output*>(data);
        if (!output->described && (flags & WL_OUTPUT_MODE_CURRENT)) {
            output->width = width / output->scale;
            output->height = height / output->scale;
        }
    },
    [](void* data, wl_output*) { told(data); },
    [](void* data, wl_output*, int32_t factor) {
        static_cast<Output*>(data)->scale = std::max(1, factor);
    },
    [](void* data, wl_output*, const char* name) {
        static_cast<Output*>(data)->name = QString::fromUtf8(name);
    },
    [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener descriptionListener = {
    [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
        static_cast<Output*>(data)->x = x;
        static_cast<Output*>(data)->y = y;
    },
    [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
        static_cast<Output*>(data)->width = width;
        static_cast<Output*>(data)->height = height;
    },
    // done: deprecated since version 3, where the output's own done ends a change
    [](void* data, zxdg_output_v1* described) {
        if (zxdg_output_v1_get_version(described) < 3)
            told(data);
    },
    [](void* data, zxdg_output_v1*, const char* name) {
        static_cast<Output*>(data)->name = QString::fromUtf8(name);
    },
    [](void*, zxdg_output_v1*, const char*) {},
};

} // namespace

LayerOutputs::LayerOutputs(std::function<void()> changed) : changed_(std::move(changed)) {}

LayerOutputs::~LayerOutputs() {
    release();
}

void LayerOutputs::release() {
    outputs_.clear();
    if (manager_)
        zxdg_output_manager_v1_destroy(manager_);
    manager_ = nullptr;
}

void LayerOutputs::announce() {
    if (changed_)
        changed_();
    Q_EMIT ScreenGeometry::changed();
}

bool LayerOutputs::offer(wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version) {
    if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        auto output = std::make_unique<Output>();
        output->owner = this;
        output->global = name;
        output->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 4u)));
        wl_output_add_listener(output->output, &outputListener, output.get());
        if (manager_)
            describe(*output);
        outputs_.push_back(std::move(output));
        return true;
    }
    if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && version >= 2) {
        manager_ = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3u)));
        for (const auto& output : outputs_)
            describe(*output);
        return true;
    }
    return false;
}

void LayerOutputs::describe(Output& output) {
    output.described = zxdg_output_manager_v1_get_xdg_output(manager_, output.output);
    zxdg_output_v1_add_listener(output.described, &descriptionListener, &output);
}

void LayerOutputs::remove(uint32_t name) {
    const auto gone = std::find_if(outputs_.begin(), outputs_.end(),
                                   [name](const auto& output) { return output->global == name; });
    if (gone == outputs_.end())
        return;
    outputs_.erase(gone);
    announce();
}

QList<DesktopScreen> LayerOutputs::screens() const {
    QList<DesktopScreen> found;
    const QScreen* qtPrimary = QGuiApplication::primaryScreen();
    const QPoint primaryPlace = qtPrimary ? qtPrimary->geometry().topLeft() : QPoint();
    for (const auto& output : outputs_) {
        if (!output->complete)
            continue;
        const DesktopScreen screen{output->name, output->model, output->area, output->area,
                                   qreal(output->scale)};
        if (output->area.topLeft() == primaryPlace)
            found.prepend(screen);
        else
            found.append(screen);
    }
    return found;
}

QRect LayerOutputs::screen() const {
    const QList<DesktopScreen> all = screens();
    return all.isEmpty() ? QRect() : all.first().geometry;
}

wl_output* LayerOutputs::at(QPoint point) const {
    const QRect primary = screen();
    wl_output* found = nullptr;
    for (const auto& output : outputs_) {
        if (!output->complete)
            continue;
        if (output->area.contains(point))
            return output->output;
        if (output->area == primary)
            found = output->output;
    }
    return found;
}

QRect LayerOutputs::area(const wl_output* wanted) const {
    for (const auto& output : outputs_)
        if (output->output == wanted)
            return output->area;
    return {};
}
