#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Wakewatch.h"
#include "platform/sim/SimPlatform.h"

#if defined(__has_include)
#if __has_include(<sanitizer/allocator_interface.h>) && defined(__SANITIZE_ADDRESS__)
#include <sanitizer/allocator_interface.h>
#define WW_HAVE_ALLOCATED_BYTES 1
#endif
#endif

namespace ww::core {
namespace {

using platform::SimPlatform;

constexpr std::uint64_t kTickMs = 400;
constexpr std::uint64_t kTicksPerHour = 3'600'000 / kTickMs;
// The sim's logs are emptied every ten simulated minutes; memory is compared from then on.
constexpr std::uint64_t kTicksPerSlice = kTicksPerHour / 6;
constexpr std::uint64_t kStartUptimeMs = 86'400'000ULL * 3 + 59'000;

// Simulated hours: a day (216,000 ticks) unless WW_SOAK_HOURS asks for more or fewer.
std::uint64_t SoakHours() {
    const char* hours = std::getenv("WW_SOAK_HOURS");
    const long value = hours ? std::strtol(hours, nullptr, 10) : 24;
    return value > 0 ? static_cast<std::uint64_t>(value) : 1;
}

// Bytes the process has allocated and not freed; 0 where the allocator cannot tell.
std::size_t AllocatedBytes() {
#ifdef WW_HAVE_ALLOCATED_BYTES
    return __sanitizer_get_current_allocated_bytes();
#else
    return 0;
#endif
}

// The tooltip a user must see after `uptimeMs`, written out independently.
std::string ExpectedTip(std::uint64_t uptimeMs) {
    // Whole seconds, rounded to the nearest (tick times never end in exactly half a second).
    const std::uint64_t s = (uptimeMs + 500) / 1000;
    const std::uint64_t days = s / 86'400;
    const auto two = [](std::uint64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return "OFFICE7 up for " + std::to_string(days) + (days == 1 ? " day, " : " days, ") +
           std::to_string(s / 3600 % 24) + ":" + two(s / 60 % 60) + ":" + two(s % 60);
}

// Where the cursor rests in minute m of the run: mostly the middle, sometimes a corner.
struct Spot {
    std::int32_t x;
    std::int32_t y;
};
Spot CursorSpot(std::uint64_t minute) {
    switch (minute % 7) {
        case 2:
            return {1023, 767};  // bottom right: holds the saver off
        case 5:
            return {0, 767};  // bottom left: starts the saver
        default:
            return {static_cast<std::int32_t>(minute * 37 % 1000), 300};
    }
}

TEST(SoakTest, DayOfTicksKeepsTheTooltipRightAndMemoryFlat) {
    SimPlatform sim;
    sim.clock().SetUptimeMs(kStartUptimeMs);
    sim.cursorScreen().SetScreenSize(1024, 768);
    sim.registry().SetDword(platform::kHkeyLocalMachine, "Software\\Wakewatch\\Settings",
                            "HotCorners", 1);
    Wakewatch program(sim.ports());
    program.Start();

    // Counters start near the 32-bit limit so that they wrap during the run.
    std::uint32_t received = 0xFFF0'0000u;
    std::uint32_t sent = 0xFFFF'0000u;
    std::size_t bytesAfterFirstSlice = 0;
    std::uint64_t wrongTips = 0;
    std::string firstWrong;
    const std::uint64_t hours = SoakHours();
    for (std::uint64_t tick = 1; tick <= hours * kTicksPerHour; ++tick) {
        if (tick % 3 == 0) {
            received += 1500u * static_cast<std::uint32_t>(tick % 5);
        }
        if (tick % 4 == 0) {
            sent += 9000u;
        }
        sim.interfaceTable().SetRows({{received, sent}, {123u, 456u}});
        const Spot spot = CursorSpot(tick * kTickMs / 60'000);
        sim.cursorScreen().SetCursor(spot.x, spot.y);
        sim.clock().AdvanceMs(kTickMs);

        const auto* icon = sim.notifyIcon().OnlyIcon();
        const std::string expected = ExpectedTip(kStartUptimeMs + tick * kTickMs);
        if (icon == nullptr || icon->tip != expected) {
            if (wrongTips++ == 0) {
                firstWrong = "tick " + std::to_string(tick) + ": \"" +
                             (icon ? icon->tip : "<no icon>") + "\", expected \"" + expected + "\"";
            }
        }
        if (tick % kTicksPerSlice == 0) {
            sim.log().Clear();
            sim.notifyIcon().ClearRequests();
            if (tick == kTicksPerSlice) {
                bytesAfterFirstSlice = AllocatedBytes();
            }
        }
    }
    EXPECT_EQ(wrongTips, 0u) << firstWrong;
    // The program's state is fixed in size: what a tick allocates, it frees again.
    // (Checked where the allocator can tell: the sanitizer build.)
    if (bytesAfterFirstSlice != 0) {
        EXPECT_LE(AllocatedBytes(), bytesAfterFirstSlice + 4096)
            << "grew from " << bytesAfterFirstSlice << " bytes after ten minutes";
    }
    // Whatever the corner did last, the saver setting is on once the cursor is away.
    sim.cursorScreen().SetCursor(500, 300);
    sim.clock().AdvanceMs(kTickMs);
    EXPECT_EQ(sim.systemParameters().SaverActive(), 1);
}

}  // namespace
}  // namespace ww::core
