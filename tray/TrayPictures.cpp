#include "tray/TrayPictures.h"

#include <string_view>
#include <vector>

namespace ww::tray {
namespace {

using Pixels = std::array<std::uint8_t, 16 * 16>;

// Standard palette indices.
constexpr std::uint8_t kMaroon = 1;
constexpr std::uint8_t kSilver = 7;
constexpr std::uint8_t kGrey = 8;
constexpr std::uint8_t kRed = 9;
constexpr std::uint8_t kLime = 10;
constexpr std::uint8_t kBlack = 0;

// The shared windowLayout: a grey-framed silver panel with block letters "UP".
// 'G' frame, 'S' face, 'D' dark edge, 'L' lettering, '.' transparent.
constexpr std::array<std::string_view, 16> kPanel = {
    "................",  //
    "................",  //
    ".GGGGGGGGGGGGG..",  //
    ".GSSSSSSSSSSSD..",  //
    ".GSLLSLLSLLLSD..",  //
    ".GSLLSLLSLLSLD..",  //
    ".GSLLSLLSLLSLD..",  //
    ".GSLLSLLSLLLSD..",  //
    ".GSLLSLLSLLSSD..",  //
    ".GSLLSLLSLLSSD..",  //
    ".GSLLLLLSLLSSD..",  //
    ".GSSLLLSSLLSSD..",  //
    ".GSSSSSSSSSSSD..",  //
    ".GDDDDDDDDDDDD..",  //
    "................",  //
    "................",  //
};

enum class Lettering { Red, Lime, Maroon, MaroonOverRed, Crossed };
enum class Activity { None, Rx, Tx, RxTx };

Pixels Draw(Lettering lettering, Activity activity) {
    Pixels pixels{};
    for (std::size_t y = 0; y < 16; ++y) {
        for (std::size_t x = 0; x < 16; ++x) {
            std::uint8_t colour = platform::kTransparent;
            switch (kPanel[y][x]) {
                case 'G':
                    colour = kGrey;
                    break;
                case 'S':
                    colour = kSilver;
                    break;
                case 'D':
                    colour = kBlack;
                    break;
                case 'L':
                    switch (lettering) {
                        case Lettering::Red:
                            colour = kRed;
                            break;
                        case Lettering::Lime:
                            colour = kLime;
                            break;
                        case Lettering::Maroon:
                            colour = kMaroon;
                            break;
                        case Lettering::MaroonOverRed:
                            colour = y < 8 ? kMaroon : kRed;
                            break;
                        case Lettering::Crossed:
                            colour = kMaroon;
                            break;
                    }
                    break;
                default:
                    break;
            }
            pixels[y * 16 + x] = colour;
        }
    }
    if (lettering == Lettering::Crossed) {
        // A red stroke, two pixels wide, from the lower left to the upper right.
        for (int i = 0; i < 11; ++i) {
            const int x = 2 + i;
            const int y = 12 - i;
            pixels[static_cast<std::size_t>(y * 16 + x)] = kRed;
            pixels[static_cast<std::size_t>((y - 1) * 16 + x)] = kRed;
        }
    }
    auto mark = [&pixels](int top) {
        for (int y = top; y < top + 3; ++y) {
            for (int x = 14; x < 16; ++x) {
                pixels[static_cast<std::size_t>(y * 16 + x)] = kLime;
            }
        }
    };
    if (activity == Activity::Rx || activity == Activity::RxTx) {
        mark(2);  // upper right edge: data received
    }
    if (activity == Activity::Tx || activity == Activity::RxTx) {
        mark(11);  // lower right edge: data sent
    }
    return pixels;
}

struct PictureTable {
    std::array<Pixels, kTrayPictureCount> pixels;
    std::array<platform::IconImage, kTrayPictureCount> images;
    std::vector<std::uint8_t> program32;
    platform::IconImage programImage32;

    PictureTable() {
        constexpr Activity kAll[] = {Activity::None, Activity::Rx, Activity::Tx, Activity::RxTx};
        std::size_t i = 0;
        for (Activity a : kAll) pixels[i++] = Draw(Lettering::Red, a);
        pixels[i++] = Draw(Lettering::Lime, Activity::None);
        for (Activity a : kAll) pixels[i++] = Draw(Lettering::Maroon, a);
        for (Activity a : kAll) pixels[i++] = Draw(Lettering::MaroonOverRed, a);
        for (Activity a : kAll) pixels[i++] = Draw(Lettering::Crossed, a);
        for (std::size_t k = 0; k < kTrayPictureCount; ++k) {
            images[k] = platform::IconImage{16, pixels[k]};
        }
        // The 32-pixel program icon doubles every pixel of the normal picture.
        program32.resize(32 * 32);
        const Pixels& normal = pixels[0];
        for (std::size_t y = 0; y < 32; ++y) {
            for (std::size_t x = 0; x < 32; ++x) {
                program32[y * 32 + x] = normal[(y / 2) * 16 + x / 2];
            }
        }
        programImage32 = platform::IconImage{32, program32};
    }
};

const PictureTable& Table() {
    static const PictureTable table;
    return table;
}

constexpr std::array<const char*, kTrayPictureCount> kNames = {
    "imgIcon_none",
    "imgIcon_rx",
    "imgIcon_tx",
    "imgIcon_rxtx",
    "imgSleepNow",
    "imgSleepNever_none",
    "imgSleepNever_rx",
    "imgSleepNever_tx",
    "imgSleepNever_rxtx",
    "imgSleeperDisabled_none",
    "imgSleeperDisabled_rx",
    "imgSleeperDisabled_tx",
    "imgSleeperDisabled_rxtx",
    "imgDisable_none",
    "imgDisable_rx",
    "imgDisable_tx",
    "imgDisable_rxtx",
};

}  // namespace

const platform::IconImage& PictureImage(TrayPicture picture) {
    return Table().images[static_cast<std::size_t>(picture)];
}

const char* PictureName(TrayPicture picture) {
    return kNames[static_cast<std::size_t>(picture)];
}

const platform::IconImage& ProgramIconImage(int size) {
    return size >= 32 ? Table().programImage32 : Table().images[0];
}

}  // namespace ww::tray
