#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace ww::e2e {

struct Rgb {
    std::uint8_t r, g, b;
};

// A binary PPM of width × height; empty when the file is not one.
inline std::vector<Rgb> ReadPpm(const std::string& path, int width, int height) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    if (magic != "P6" || w != width || h != height || max != 255) {
        return {};
    }
    std::vector<Rgb> pixels(static_cast<std::size_t>(w * h));
    in.read(reinterpret_cast<char*>(pixels.data()),
            static_cast<std::streamsize>(pixels.size() * 3));
    return in ? pixels : std::vector<Rgb>{};
}

// The "UP" of our icon is pure red, which no panel draws by itself.
inline int RedPixels(const std::vector<Rgb>& pixels) {
    int n = 0;
    for (const Rgb& p : pixels) {
        n += (p.r == 255 && p.g == 0 && p.b == 0) ? 1 : 0;
    }
    return n;
}

}  // namespace ww::e2e
