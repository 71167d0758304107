#include <cstdint>
#include <cstdlib>
#include <set>

#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

using TrayIconTest = WakewatchTest;

bool Near(std::uint32_t pixel, std::uint32_t colour) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF);
        const int b = static_cast<int>((colour >> shift) & 0xFF);
        if (std::abs(a - b) > 8) {
            return false;
        }
    }
    return true;
}

std::size_t CountNear(const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
    std::size_t n = 0;
    for (auto p : pixels) {
        if (Near(p, colour)) {
            ++n;
        }
    }
    return n;
}

TEST_F(TrayIconTest, DocksInTheTrayHostShowingItsPicture) {
    Process& program = Launch("wakewatch");
    const XWindow icon = WaitDocked(program.Pid());
    ASSERT_NE(icon, 0u) << "no icon docked; the program is " << program.Describe();

    const auto panel = Probe().RootGeometry(Probe().TrayPanel());
    const auto place = Probe().RootGeometry(icon);
    ASSERT_TRUE(panel && place);
    // The panel's corner is outside every docked client: the host's own background.
    const auto background = Probe().Pixels({panel->x, panel->y, 1, 1});
    ASSERT_EQ(background.size(), 1u);

    std::vector<std::uint32_t> pixels;
    const bool painted = WaitFor(
        [&] {
            pixels = Probe().Pixels(*place);
            return !pixels.empty() && CountNear(pixels, 0xC0C0C0) >= 16 &&
                   CountNear(pixels, 0x808080) >= 8 &&
                   pixels.size() - CountNear(pixels, background[0]) >= 16 * 16 / 2;
        },
        5s);
    EXPECT_TRUE(painted) << "icon " << place->width << "x" << place->height << ": "
                         << CountNear(pixels, 0xC0C0C0) << " silver, "
                         << CountNear(pixels, 0x808080) << " grey, "
                         << CountNear(pixels, background[0]) << " background pixels";
    Snapshot("docked");

    const Trace trace = TraceOf("wakewatch");
    EXPECT_TRUE(WaitFor([&] { return trace.Has("notify add ok"); }, 2s));
    EXPECT_TRUE(trace.Malformed().empty()) << trace.Malformed().front();
}

TEST_F(TrayIconTest, HoverShowsTheUptimeTooltipRefreshedInPlace) {
    Process& program = Launch("wakewatch");
    const XWindow icon = WaitDocked(program.Pid());
    ASSERT_NE(icon, 0u) << "no icon docked; the program is " << program.Describe();
    const auto place = Probe().RootGeometry(icon);
    ASSERT_TRUE(place);

    ASSERT_EQ(X().Xdotool({"mousemove", std::to_string(place->CentreX()),
                           std::to_string(place->CentreY())}),
              0);
    auto tooltipShown = [&] {
        for (XWindow w : Probe().OverrideRedirectWindows()) {
            auto pid = Probe().Pid(w);
            if (!pid || *pid == program.Pid()) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(WaitFor(tooltipShown, 5s)) << "no tooltip window while hovering the icon";
    Snapshot("tooltip");

    // The tip refreshes while the cursor rests: within a few seconds the
    // seconds field must have moved on at least twice.
    const Trace trace = TraceOf("wakewatch");
    std::set<std::string> tips;
    const bool advancing = WaitFor(
        [&] {
            tips.clear();
            for (const auto& line : trace.All("tooltip-refresh ")) {
                if (!line.quoted.empty()) {
                    tips.insert(line.quoted.front());
                }
            }
            return tips.size() >= 3;
        },
        6s);
    EXPECT_TRUE(advancing) << tips.size() << " distinct refreshed tips";
    for (const auto& tip : tips) {
        EXPECT_TRUE(IsUptimeTip(tip)) << '"' << tip << '"';
    }
    EXPECT_TRUE(tooltipShown()) << "the tooltip went away while the cursor stayed";
}

}  // namespace
}  // namespace ww::e2e
