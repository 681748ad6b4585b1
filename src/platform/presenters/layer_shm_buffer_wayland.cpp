#include "platform/presenters/layer_shm_buffer_wayland.h"

#include <cstring>
#include <unistd.h>
#include <wayland-client.h>

namespace {

const wl_buffer_listener bufferListener = {
    [](void* data, wl_buffer*) { delete static_cast<LayerShmBuffer*>(data); },
};

} // namespace

LayerShmBuffer::~LayerShmBuffer() {
    if (held)
        held->erase(this);
    if (buffer)
        wl_buffer_destroy(buffer);
    if (data != MAP_FAILED)
        munmap(data, size);
}

LayerShmBuffer* LayerShmBuffer::make(wl_shm* shm, const QImage& picture,
                                     std::set<LayerShmBuffer*>& held) {
    const QImage pixels = picture.format() == QImage::Format_ARGB32_Premultiplied
                              ? picture
                              : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto* made = new LayerShmBuffer;
    made->held = &held;
    held.insert(made);
    const int stride = pixels.width() * 4;
    made->size = size_t(stride) * size_t(pixels.height());
    const int fd = memfd_create("vellora-layer", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(made->size)) != 0) {
        if (fd >= 0)
            close(fd);
        delete made;
        return nullptr;
    }
    made->data = mmap(nullptr, made->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (made->data == MAP_FAILED) {
        close(fd);
        delete made;
        return nullptr;
    }
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(static_cast<uchar*>(made->data) + qsizetype(y) * stride,
                    pixels.constScanLine(y), size_t(stride));
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(made->size));
    // Qt's premultiplied ARGB in memory order is Wayland's ARGB8888 on this byte order.
    made->buffer = wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(), stride,
                                             WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(made->buffer, &bufferListener, made);
    return made;
}
