#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/SniBus.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/WaylandSession.h"
#include "tests/e2e/desktops/Pixels.h"

namespace ww::e2e {
namespace {

// The bar along the bottom of the 1024 × 768 output, its tray at the right.
constexpr int kBarHeight = 30;
constexpr int kTrayWidth = 124;
constexpr std::uint8_t kBarGrey = 0x20;

// A region of the output as grim sees it; empty on failure.
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
    return ReadPpm(path, width, height);
}

bool Installed() {
    SpawnOptions which;
    which.argv = {"sh", "-c", "command -v sway waybar grim"};
    which.env = Environment::Clean().Entries();
    return RunToEnd(which, 5s) == 0;
}

// waybar with only its tray module, in a bar of plain grey; the n-th start
// logs to waybar-<n>.log.
Process StartWaybar(WaylandSession& session, int n) {
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
    bar.stdoutPath = dir + "/waybar-" + std::to_string(n) + ".log";
    bar.stderrPath = dir + "/waybar-" + std::to_string(n) + ".stderr";
    return Process(bar);
}

int Count(const std::vector<Rgb>& pixels, bool (*test)(const Rgb&)) {
    int n = 0;
    for (const Rgb& p : pixels) {
        n += test(p) ? 1 : 0;
    }
    return n;
}

bool NotBar(const Rgb& p) {
    return p.r != kBarGrey || p.g != kBarGrey || p.b != kBarGrey;
}

// The tray's region of the bar now.
std::vector<Rgb> Tray(WaylandSession& session) {
    return Shot(session, session.Dir().Path() + "/tray.ppm", 1024 - kTrayWidth, 768 - kBarHeight,
                kTrayWidth, kBarHeight);
}

// Our icon in the tray: some hundred pixels off the bar's grey, the red of
// its "UP" among them.
bool IconInTray(WaylandSession& session) {
    const std::vector<Rgb> tray = Tray(session);
    return Count(tray, NotBar) >= 100 && RedPixels(tray) >= 10;
}

// The bar is up with nothing in its tray.
bool EmptyBar(WaylandSession& session) {
    const std::vector<Rgb> tray = Tray(session);
    return !tray.empty() && Count(tray, NotBar) == 0;
}

// Waits for the icon; how long it took from `from`, or -1 ms.
std::chrono::milliseconds IconAfter(WaylandSession& session,
                                    std::chrono::steady_clock::time_point from) {
    if (!WaitFor([&] { return IconInTray(session); }, 20s, 100ms)) {
        return std::chrono::milliseconds(-1);
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 from);
}

Process StartProgram(WaylandSession& session, const std::string& name) {
    SpawnOptions program;
    program.argv = {WW_PROGRAM_PATH};
    program.env = session.ProgramEnv(name).Entries();
    program.stderrPath = session.Dir().Path() + "/" + name + ".stderr";
    return Process(program);
}

// waybar with only its tray module, in a bar of plain grey, on a real
// headless sway: its own StatusNotifierWatcher and host show our item.
TEST(SwayWaybarTest, WaybarsTrayDrawsOurIcon) {
    if (!Installed()) {
        GTEST_SKIP() << "sway, waybar or grim is not installed";
    }
    WaylandSession session(false);
    const std::string dir = session.Dir().Path();
    Process waybar = StartWaybar(session, 1);
    ASSERT_TRUE(WaitFor([&] { return EmptyBar(session); }, 15s))
        << ReadFile(dir + "/waybar-1.log") << ReadFile(dir + "/waybar-1.stderr");

    Process wakewatch = StartProgram(session, "wakewatch");
    const bool shown = WaitFor([&] { return IconInTray(session); }, 20s, 200ms);
    EXPECT_TRUE(shown) << "pixels off the bar: " << Count(Tray(session), NotBar)
                       << ", red: " << RedPixels(Tray(session)) << "; " << dir << "/tray.ppm";
    if (!shown) {
        session.Dir().Keep();
    }
    EXPECT_TRUE(wakewatch.Running()) << wakewatch.Describe();
    EXPECT_TRUE(waybar.Running()) << waybar.Describe();
    wakewatch.Stop();
    waybar.Stop();
}

// The bar comes after the program, then dies and comes again: each time its
// new watcher and host get our item, and draw it.
TEST(SwayWaybarTest, TheIconIsDrawnByABarStartedLaterAndAgainAfterTheBarIsKilled) {
    if (!Installed()) {
        GTEST_SKIP() << "sway, waybar or grim is not installed";
    }
    WaylandSession session(false);
    const std::string dir = session.Dir().Path();
    Process wakewatch = StartProgram(session, "wakewatch");
    ASSERT_TRUE(WaitFor(
        [&] {
            return ReadFile(wakewatch.StderrPath()).find("screen saver through") !=
                   std::string::npos;
        },
        20s, 100ms))
        << wakewatch.Describe() << ", " << ReadFile(wakewatch.StderrPath());

    auto from = std::chrono::steady_clock::now();
    std::optional<Process> waybar(StartWaybar(session, 1));
    const auto late = IconAfter(session, from);
    EXPECT_GE(late.count(), 0) << "not drawn by the late bar; " << ReadFile(dir + "/waybar-1.log");
    std::cout << "waybar started late: icon drawn after " << late.count() << " ms\n";
    RecordProperty("icon_late_ms", static_cast<int>(late.count()));

    waybar->Signal(SIGKILL);
    ASSERT_TRUE(waybar->WaitExit(5s));
    waybar.reset();
    from = std::chrono::steady_clock::now();
    waybar.emplace(StartWaybar(session, 2));
    const auto back = IconAfter(session, from);
    EXPECT_GE(back.count(), 0) << "not drawn after the restart; "
                               << ReadFile(dir + "/waybar-2.log");
    std::cout << "waybar restarted: icon drawn after " << back.count() << " ms\n";
    RecordProperty("icon_back_ms", static_cast<int>(back.count()));

    if (HasFailure()) {
        session.Dir().Keep();
    }
    EXPECT_TRUE(wakewatch.Running()) << wakewatch.Describe();
    wakewatch.Stop();
    waybar->Stop();
}

// What waybar's watcher hands a host: the tooltip, and a menu whose every
// command does its work (or is greyed where sway has nothing to do it with).
TEST(SwayWaybarTest, TheToolTipAndEveryMenuCommandThroughWaybarsWatcher) {
    if (!Installed()) {
        GTEST_SKIP() << "sway, waybar or grim is not installed";
    }
    WaylandSession session(false);
    const std::string dir = session.Dir().Path();
    Process waybar = StartWaybar(session, 1);
    Process wakewatch = StartProgram(session, "wakewatch");
    SniBus bus(dir, WW_SNI_HOST_PATH, session.BusAddress());
    ASSERT_TRUE(WaitFor([&] { return bus.Call({"props"}).code == 0; }, 20s, 200ms))
        << ReadFile(wakewatch.StderrPath());
    const auto menu = [&] { return bus.Call({"menu"}).lines; };
    const auto click = [&](int id) { return bus.Call({"click", std::to_string(id)}).code == 0; };

    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    // The first tick turns the start-up tip into the uptime.
    const std::regex uptime(std::string(host) + " up for .+");
    std::string tip;
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const TraceLine& line : bus.Call({"props"}).lines) {
                if (line.StartsWith("item ")) {
                    tip = line.Field("tip");
                }
            }
            return std::regex_match(tip, uptime);
        },
        5s, 200ms))
        << tip;

    // The ids of "Restore", "Enable Hot Corners", "Start Screen Saver...",
    // "Disable Screen Saver", "Configure Screen Saver..." and "Exit".
    constexpr int kRestore = 1, kHotCorners = 3, kStart = 5, kDisable = 6, kConfigure = 7,
                  kExit = 9;
    const auto lines = menu();
    // No start request on sway without swayidle's lock and logind; no settings tool.
    EXPECT_EQ(MenuField(lines, kStart, "enabled"), "false");
    EXPECT_EQ(MenuField(lines, kConfigure, "enabled"), "false");

    ASSERT_TRUE(click(kRestore));
    EXPECT_TRUE(WaitFor(
        [&] { return session.Tree().find("\"name\": \"Wakewatch\"") != std::string::npos; }, 10s))
        << "no main window after Restore";

    const std::string corners = MenuField(lines, kHotCorners, "toggle-state");
    ASSERT_TRUE(click(kHotCorners));
    EXPECT_TRUE(WaitFor([&] { return MenuField(menu(), kHotCorners, "toggle-state") != corners; },
                        5s, 100ms));

    ASSERT_TRUE(click(kDisable));
    EXPECT_TRUE(
        WaitFor([&] { return MenuField(menu(), kDisable, "toggle-state") == "1"; }, 5s, 100ms));
    ASSERT_TRUE(click(kDisable));
    EXPECT_TRUE(
        WaitFor([&] { return MenuField(menu(), kDisable, "toggle-state") == "0"; }, 5s, 100ms));

    ASSERT_TRUE(click(kExit));
    EXPECT_TRUE(wakewatch.WaitExit(15s)) << wakewatch.Describe();
    EXPECT_EQ(wakewatch.ExitCode(), 0) << wakewatch.Describe();
    if (HasFailure()) {
        session.Dir().Keep();
    }
    waybar.Stop();
}

}  // namespace
}  // namespace ww::e2e
