#include "platform/layer_buffer_wayland.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

struct LayerBuffers::Buffer {
    std::set<Buffer*>* held = nullptr;
    wl_buffer* buffer = nullptr;
    void* data = MAP_FAILED;
    size_t size = 0;

    ~Buffer() {
        if (held)
            held->erase(this);
        if (buffer)
            wl_buffer_destroy(buffer);
        if (data != MAP_FAILED)
            munmap(data, size);
    }
};

namespace {

const wl_buffer_listener released = {
    [](void* data, wl_buffer*) { delete static_cast<LayerBuffers::Buffer*>(data); },
};

} // namespace

void LayerBuffers::clear() {
    while (!held_.empty())
        delete *held_.begin();
}

wl_buffer* LayerBuffers::bufferOf(wl_shm* shm, const QImage& picture) {
    const QImage pixels = picture.format() == QImage::Format_ARGB32_Premultiplied
                              ? picture
                              : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto* buffer = new Buffer;
    buffer->held = &held_;
    held_.insert(buffer);
    const int stride = pixels.width() * 4;
    buffer->size = size_t(stride) * size_t(pixels.height());
    const int fd = memfd_create("vellora-layer", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(buffer->size)) != 0) {
        if (fd >= 0)
            close(fd);
        delete buffer;
        return nullptr;
    }
    buffer->data = mmap(nullptr, buffer->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (buffer->data == MAP_FAILED) {
        close(fd);
        delete buffer;
        return nullptr;
    }
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(static_cast<uchar*>(buffer->data) + qsizetype(y) * stride,
                    pixels.constScanLine(y), size_t(stride));
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(buffer->size));
    // Qt's premultiplied ARGB in memory order is Wayland's ARGB8888 on this byte order.
    buffer->buffer = wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(), stride,
                                               WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer->buffer, &released, buffer);
    return buffer->buffer;
}
