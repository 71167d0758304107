#include "platform/linux/wayland/TransparentBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <wayland-client.h>

namespace ww::platform {

wl_buffer* TransparentBuffer(wl_shm* shm, std::int32_t width, std::int32_t height) {
    const std::int32_t stride = width * 4;
    const std::int32_t size = stride * height;
    const int fd = memfd_create("wakewatch-surface", MFD_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // A fresh file reads as zeros: fully transparent ARGB pixels.
    if (ftruncate(fd, size) != 0) {
        close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace ww::platform
