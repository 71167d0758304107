// Writes the program icon for the desktop's icon theme from the palette
// picture the tray shows: PNG files at the usual theme sizes and one SVG.
// The picture is cropped to its drawn pixels, enlarged by the largest whole
// factor that fits and centred, so every pixel stays a sharp square (at 16
// pixels it is the tray picture itself). The SVG draws the same squares.
//   IconThemeGenerator <folder>: writes <folder>/<n>x<n>/apps/wakewatch.png
//   and <folder>/scalable/apps/wakewatch.svg
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ports/IconImage.h"
#include "tray/TrayPictures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using ww::platform::IconImage;
using ww::platform::kStandardPalette;
using ww::platform::kTransparent;

constexpr std::array kSizes = {16, 22, 24, 32, 48, 64, 128, 256};
// The palette entry written for transparent pixels, after the 16 colours.
constexpr std::uint8_t kClearEntry = 16;

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The smallest rectangle holding every drawn pixel.
Box DrawnBox(const IconImage& image) {
    int left = image.size, top = image.size, right = -1, bottom = -1;
    for (int y = 0; y < image.size; ++y) {
        for (int x = 0; x < image.size; ++x) {
            if (image.pixels[static_cast<std::size_t>(y * image.size + x)] != kTransparent) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? Box{0, 0, image.size, image.size}
                     : Box{left, top, right - left + 1, bottom - top + 1};
}

// Palette indices of a size × size picture, row by row.
std::vector<std::uint8_t> Enlarged(const IconImage& image, const Box& box, int size) {
    const int factor = std::max(1, std::min(size / box.width, size / box.height));
    const int offsetX = (size - box.width * factor) / 2;
    const int offsetY = (size - box.height * factor) / 2;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size * size), kClearEntry);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int sx = x - offsetX, sy = y - offsetY;
            if (sx < 0 || sy < 0 || sx >= box.width * factor || sy >= box.height * factor) {
                continue;
            }
            const std::uint8_t index = image.pixels[static_cast<std::size_t>(
                (box.top + sy / factor) * image.size + box.left + sx / factor)];
            out[static_cast<std::size_t>(y * size + x)] =
                index == kTransparent ? kClearEntry : index;
        }
    }
    return out;
}

void Put32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
    Put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, png.data() + start, static_cast<uInt>(png.size() - start));
    Put32(png, static_cast<std::uint32_t>(crc));
}

// An 8-bit palette PNG: the 16 standard colours and one fully clear entry.
bool Png(const std::vector<std::uint8_t>& indices, int size, Bytes& png) {
    png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32(header, static_cast<std::uint32_t>(size));
    Put32(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // depth 8, palette, no interlace
    Chunk(png, "IHDR", header);
    Bytes palette, alpha;
    for (const std::uint32_t rgb : kStandardPalette) {
        palette.insert(palette.end(),
                       {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb)});
        alpha.push_back(0xFF);
    }
    palette.insert(palette.end(), {0, 0, 0});
    alpha.push_back(0);
    Chunk(png, "PLTE", palette);
    Chunk(png, "tRNS", alpha);
    Bytes raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        const auto row = indices.begin() + y * size;
        raw.insert(raw.end(), row, row + size);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", {});
    return true;
}

// 1.5 as "1.5", 2.0 as "2".
std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Hex(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// One rectangle per run of equal pixels in a row, in a square view of the
// drawn pixels.
std::string Svg(const IconImage& image, const Box& box) {
    const int side = std::max(box.width, box.height);
    const double viewX = box.left - (side - box.width) / 2.0;
    const double viewY = box.top - (side - box.height) / 2.0;
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"" +
        Number(viewX) + " " + Number(viewY) + " " + std::to_string(side) + " " +
        std::to_string(side) + "\" shape-rendering=\"crispEdges\">\n";
    for (int y = box.top; y < box.top + box.height; ++y) {
        for (int x = box.left; x < box.left + box.width;) {
            const std::uint8_t index = image.pixels[static_cast<std::size_t>(y * image.size + x)];
            int end = x + 1;
            while (end < box.left + box.width &&
                   image.pixels[static_cast<std::size_t>(y * image.size + end)] == index) {
                ++end;
            }
            if (index != kTransparent) {
                svg += "  <rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
                       "\" width=\"" + std::to_string(end - x) + "\" height=\"1\" fill=\"" +
                       Hex(kStandardPalette[index]) + "\"/>\n";
            }
            x = end;
        }
    }
    return svg + "</svg>\n";
}

bool Save(const std::filesystem::path& path, const char* data, std::size_t size) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(data, static_cast<std::streamsize>(size));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const IconImage& picture = ww::tray::ProgramIconImage(16);
    const Box box = DrawnBox(picture);
    for (const int size : kSizes) {
        const auto name = std::to_string(size) + "x" + std::to_string(size);
        const auto path = folder / name / "apps" / "wakewatch.png";
        Bytes png;
        if (!Png(Enlarged(picture, box, size), size, png) ||
            !Save(path, reinterpret_cast<const char*>(png.data()), png.size())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const auto svgPath = folder / "scalable" / "apps" / "wakewatch.svg";
    const std::string svg = Svg(picture, box);
    if (!Save(svgPath, svg.data(), svg.size())) {
        std::fprintf(stderr, "cannot write %s\n", svgPath.c_str());
        return 1;
    }
    return 0;
}
