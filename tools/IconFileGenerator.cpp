// Writes the program icon (.ico, 32 × 32 and 16 × 16) and the hand cursor
// (.cur, 32 × 32) of wakewatch.exe from the palette images the program
// draws itself, so the resource compiler gets the same pictures as the tray.
// Built and run on the build machine: IconFileGenerator <icon.ico> <cursor.cur>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ports/IconImage.h"
#include "tray/TrayPictures.h"
#include "ui/FrmMainLayout.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using ww::platform::IconImage;
using ww::platform::kTransparent;

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::size_t Stride(std::size_t width, std::size_t bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// The AND mask: 1 where the screen shows through. Rows bottom-up.
Bytes Mask(const IconImage& image) {
    const auto size = static_cast<std::size_t>(image.size);
    Bytes bits(Stride(size, 1) * size, 0);
    for (std::size_t y = 0; y < size; ++y) {
        const std::size_t row = (size - 1 - y) * Stride(size, 1);
        for (std::size_t x = 0; x < size; ++x) {
            if (image.pixels[y * size + x] == kTransparent) {
                bits[row + x / 8] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
            }
        }
    }
    return bits;
}

// A DIB header whose height counts the colour and the mask bitmaps.
void Header(Bytes& out, int size, unsigned bitsPerPixel, std::uint32_t imageBytes) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, bitsPerPixel);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
}

// A 4-bit icon image: header, the standard palette, colours, mask.
Bytes IconData(const IconImage& image) {
    const auto size = static_cast<std::size_t>(image.size);
    Bytes colours(Stride(size, 4) * size, 0);
    for (std::size_t y = 0; y < size; ++y) {
        const std::size_t row = (size - 1 - y) * Stride(size, 4);
        for (std::size_t x = 0; x < size; ++x) {
            const std::uint8_t index = image.pixels[y * size + x];
            const auto value = static_cast<std::uint8_t>(index == kTransparent ? 0 : index);
            colours[row + x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? value << 4 : value);
        }
    }
    const Bytes mask = Mask(image);
    Bytes out;
    Header(out, image.size, 4, static_cast<std::uint32_t>(colours.size() + mask.size()));
    for (std::uint32_t rgb : ww::platform::kStandardPalette) {
        out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }
    out.insert(out.end(), colours.begin(), colours.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

// A monochrome cursor image: black and white, the rest transparent.
Bytes CursorData(const IconImage& image) {
    const auto size = static_cast<std::size_t>(image.size);
    Bytes colours(Stride(size, 1) * size, 0);
    for (std::size_t y = 0; y < size; ++y) {
        const std::size_t row = (size - 1 - y) * Stride(size, 1);
        for (std::size_t x = 0; x < size; ++x) {
            if (image.pixels[y * size + x] == 15) {  // white
                colours[row + x / 8] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
            }
        }
    }
    const Bytes mask = Mask(image);
    Bytes out;
    Header(out, image.size, 1, static_cast<std::uint32_t>(colours.size() + mask.size()));
    Put32(out, 0x00000000);
    Put32(out, 0x00FFFFFF);
    out.insert(out.end(), colours.begin(), colours.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

struct Entry {
    int size;
    unsigned colourCount;  // 16 for the icon, 2 for the cursor
    unsigned field1;       // icon: planes; cursor: hot spot x
    unsigned field2;       // icon: bits per pixel; cursor: hot spot y
    Bytes data;
};

// The file: directory header, one entry per image, the images.
Bytes File(unsigned type, const std::vector<Entry>& entries) {
    Bytes out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& entry : entries) {
        out.push_back(static_cast<std::uint8_t>(entry.size));
        out.push_back(static_cast<std::uint8_t>(entry.size));
        out.push_back(static_cast<std::uint8_t>(entry.colourCount == 16 ? 16 : 0));
        out.push_back(0);
        Put16(out, entry.field1);
        Put16(out, entry.field2);
        Put32(out, static_cast<std::uint32_t>(entry.data.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entry.data.size());
    }
    for (const Entry& entry : entries) {
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    }
    return out;
}

bool Save(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <icon.ico> <cursor.cur>\n", argv[0]);
        return 2;
    }
    const Bytes icon = File(1, {{32, 16, 1, 4, IconData(ww::tray::ProgramIconImage(32))},
                                {16, 16, 1, 4, IconData(ww::tray::ProgramIconImage(16))}});
    const Bytes cursor = File(2, {{32, 2, static_cast<unsigned>(ww::ui::kHandHotSpotX),
                                   static_cast<unsigned>(ww::ui::kHandHotSpotY),
                                   CursorData(ww::ui::HandPointerImage())}});
    if (!Save(argv[1], icon) || !Save(argv[2], cursor)) {
        std::fprintf(stderr, "cannot write %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
