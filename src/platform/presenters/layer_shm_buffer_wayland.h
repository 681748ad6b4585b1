#pragma once

#include <QImage>
#include <cstddef>
#include <set>
#include <sys/mman.h>

struct wl_buffer;
struct wl_shm;

// A picture in shared memory, handed to the compositor until it lets go of it; it then
// deletes itself. The buffers not yet let go are in the set that made them, whose owner
// deletes what is left when the connection ends.
struct LayerShmBuffer {
    std::set<LayerShmBuffer*>* held = nullptr;
    wl_buffer* buffer = nullptr;
    void* data = MAP_FAILED;
    size_t size = 0;

    ~LayerShmBuffer();

    // The picture's pixels in a new buffer, entered in held; null when the memory could not
    // be had.
    static LayerShmBuffer* make(wl_shm* shm, const QImage& picture,
                                std::set<LayerShmBuffer*>& held);
};
