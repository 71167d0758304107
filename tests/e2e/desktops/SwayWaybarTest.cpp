#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/WaitFor.h"
#include "tests/e2e/WaylandSession.h"

namespace ww::e2e {
namespace {

// The bar along the bottom of the 1024 × 768 output, its tray at the right.
constexpr int kBarHeight = 30;
constexpr int kTrayWidth = 124;
constexpr std::uint8_t kBarGrey = 0x20;

struct Rgb {
    std::uint8_t r, g, b;
};

// A region of the output as grim sees it (binary PPM); empty on failure.
std::vector<Rgb> Shot(const WaylandSession& session, const std::string& path, int x, int y,
                      int width, int height) {
    SpawnOptions grim;
    grim.argv = {"grim",
                 "-t",
                 "ppm",
                 "-g",
                 std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
                     std::to_string(height),
                 path};
    grim.env = session.ProgramEnv("grim").Entries();
    if (RunToEnd(grim, 10s) != 0) {
        return {};
    }
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

// waybar with only its tray module, in a bar of plain grey, on a real
// headless sway: its own StatusNotifierWatcher and host show our item.
TEST(SwayWaybarTest, WaybarsTrayDrawsOurIcon) {
    SpawnOptions which;
    which.argv = {"sh", "-c", "command -v sway waybar grim"};
    which.env = Environment::Clean().Entries();
    if (RunToEnd(which, 5s) != 0) {
        GTEST_SKIP() << "sway, waybar or grim is not installed";
    }
    WaylandSession session(false);
    const std::string dir = session.Dir().Path();
    std::ofstream(dir + "/waybar.json")
        << R"({"layer": "top", "position": "bottom", "height": )" << kBarHeight
        << R"(, "modules-right": ["tray"], "tray": {"icon-size": 22}})";
    std::ofstream(dir + "/waybar.css") << "window#waybar { background: #202020; }\n";

    SpawnOptions bar;
    bar.argv = {"waybar", "-c", dir + "/waybar.json", "-s", dir + "/waybar.css"};
    Environment env = session.ProgramEnv("waybar");
    env.Set("HOME", dir);
    bar.env = env.Entries();
    bar.stdoutPath = dir + "/waybar.log";
    bar.stderrPath = dir + "/waybar.stderr";
    Process waybar(bar);

    const int x = 1024 - kTrayWidth;
    const int y = 768 - kBarHeight;
    const std::string path = dir + "/tray.ppm";
    const auto count = [](const std::vector<Rgb>& pixels, auto test) {
        int n = 0;
        for (const Rgb& p : pixels) {
            n += test(p) ? 1 : 0;
        }
        return n;
    };
    const auto notBar = [](const Rgb& p) {
        return p.r != kBarGrey || p.g != kBarGrey || p.b != kBarGrey;
    };
    // The "UP" of the icon is pure red.
    const auto red = [](const Rgb& p) { return p.r == 255 && p.g == 0 && p.b == 0; };

    // The bar is up, its tray empty.
    std::vector<Rgb> tray;
    ASSERT_TRUE(WaitFor(
        [&] {
            tray = Shot(session, path, x, y, kTrayWidth, kBarHeight);
            return !tray.empty() && count(tray, notBar) == 0;
        },
        15s))
        << ReadFile(dir + "/waybar.log") << ReadFile(dir + "/waybar.stderr");

    SpawnOptions program;
    program.argv = {WW_PROGRAM_PATH};
    program.env = session.ProgramEnv("wakewatch").Entries();
    program.stderrPath = dir + "/wakewatch.stderr";
    Process wakewatch(program);
    const bool shown = WaitFor(
        [&] {
            tray = Shot(session, path, x, y, kTrayWidth, kBarHeight);
            return count(tray, notBar) >= 100 && count(tray, red) >= 10;
        },
        20s, 200ms);
    EXPECT_TRUE(shown) << "pixels off the bar: " << count(tray, notBar)
                       << ", red: " << count(tray, red) << "; " << path;
    if (!shown) {
        session.Dir().Keep();
    }
    EXPECT_TRUE(wakewatch.Running()) << wakewatch.Describe();
    EXPECT_TRUE(waybar.Running()) << waybar.Describe();
    wakewatch.Stop();
    waybar.Stop();
}

}  // namespace
}  // namespace ww::e2e
