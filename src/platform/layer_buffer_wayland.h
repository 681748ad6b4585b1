#pragma once

#include <QImage>
#include <set>

struct wl_buffer;
struct wl_shm;

// The pictures in shared memory handed to the compositor, each until the compositor lets go
// of it; whatever it still holds goes with this.
class LayerBuffers {
public:
    LayerBuffers() = default;
    LayerBuffers(const LayerBuffers&) = delete;
    LayerBuffers& operator=(const LayerBuffers&) = delete;
    ~LayerBuffers() { clear(); }

    // Destroys every buffer still held; before the connection goes.
    void clear();

    // A buffer holding picture's pixels, to attach once; null when the memory could not be
    // had.
    wl_buffer* bufferOf(wl_shm* shm, const QImage& picture);

    struct Buffer;

private:
    std::set<Buffer*> held_;
};
