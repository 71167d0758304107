#pragma once

#include <cstdint>

struct wl_buffer;
struct wl_shm;

namespace ww::platform {

// A wl_shm buffer of width × height fully transparent ARGB pixels; null when
// its memory cannot be had.
wl_buffer* TransparentBuffer(wl_shm* shm, std::int32_t width, std::int32_t height);

}  // namespace ww::platform
