#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

// The tray host quits in good order, or dies without cleaning up (the icon's
// window then falls back to the root window until someone takes it).
struct HostEnd {
    int signal;
    const char* name;
};

void PrintTo(const HostEnd& end, std::ostream* os) {
    *os << end.name;
}

class TrayHostRestartTest : public WakewatchTest, public ::testing::WithParamInterface<HostEnd> {};

bool CarriesTip(const TraceLine& line) {
    return (line.StartsWith("notify add ") || line.StartsWith("notify modify ")) &&
           line.text.find(" tip=\"") != std::string::npos;
}

TEST_P(TrayHostRestartTest, IconComesBackWithItsLastTooltip) {
    Process& program = Launch("wakewatch");
    ASSERT_NE(WaitDocked(program.Pid()), 0u) << "the program is " << program.Describe();
    const Trace trace = TraceOf("wakewatch");
    ASSERT_TRUE(WaitFor([&] { return trace.Has("notify modify ok tip="); }, 5s));

    X().StopTrayHost(GetParam().signal);
    ASSERT_TRUE(program.Running())
        << "the program ended with its tray host: " << program.Describe();
    X().StartTrayHost();
    ASSERT_NE(WaitDocked(program.Pid(), 5s), 0u) << "no icon in the new tray host";
    Snapshot("redocked");

    // The re-add follows the restart notice and carries the tip last set before it.
    std::vector<TraceLine> lines;
    std::size_t created = 0;
    std::size_t added = 0;
    const bool readded = WaitFor(
        [&] {
            lines = trace.Lines();
            created = lines.size();
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (lines[i].StartsWith("taskbar-created")) {
                    created = i;
                }
            }
            for (added = created; added < lines.size(); ++added) {
                if (lines[added].StartsWith("notify add ok")) {
                    return true;
                }
            }
            return false;
        },
        3s);
    ASSERT_TRUE(readded) << "no taskbar-created followed by notify add ok";
    std::string lastTip;
    bool lastTipWasARepair = false;
    for (std::size_t i = 0; i < created; ++i) {
        if (CarriesTip(lines[i])) {
            lastTip = lines[i].Field("tip");
            lastTipWasARepair = lines[i].StartsWith("notify add ");
        }
    }
    EXPECT_EQ(lines[added].Field("tip"), lastTip);
    // A tick that falls between the host's return and its notice repairs the
    // lost icon with the start-up tip, which is then the last one; otherwise
    // the last one is the uptime.
    if (!lastTipWasARepair) {
        EXPECT_TRUE(IsUptimeTip(lines[added].Field("tip"))) << lines[added].text;
    }

    // Nothing of the program is left lying on the desktop.
    for (XWindow w : Probe().TopLevelsOf(program.Pid())) {
        const auto place = Probe().RootGeometry(w);
        EXPECT_TRUE(Probe().OverrideRedirect(w))
            << "stray window \"" << Probe().Name(w) << "\" at " << place->x << "," << place->y;
    }
}

// The host is ended and started again many times, in both ways: after each start the
// icon docks again, re-added with the picture and tooltip it last had.
using TrayHostRestarts = WakewatchTest;

TEST_F(TrayHostRestarts, FiftyRestartsEachBringTheIconBackAsItWas) {
    constexpr int kRestarts = 50;
    Process& program = Launch("wakewatch");
    ASSERT_NE(WaitDocked(program.Pid()), 0u) << "the program is " << program.Describe();
    const Trace trace = TraceOf("wakewatch");
    ASSERT_TRUE(WaitFor([&] { return trace.Has("notify modify ok tip="); }, 5s));

    for (int restart = 1; restart <= kRestarts; ++restart) {
        X().StopTrayHost(restart % 2 == 0 ? SIGKILL : SIGTERM);
        X().StartTrayHost();
        ASSERT_NE(WaitDocked(program.Pid(), 5s), 0u) << "no icon after restart " << restart;
        // The restart's re-add, and what was set last before the notice.
        std::vector<TraceLine> lines;
        std::size_t notices = 0;
        std::string lastTip;
        std::string lastIcon;
        const bool readded = WaitFor(
            [&] {
                lines = trace.Lines();
                notices = 0;
                for (const TraceLine& line : lines) {
                    if (line.StartsWith("taskbar-created")) {
                        ++notices;
                    } else if (notices == static_cast<std::size_t>(restart) &&
                               line.StartsWith("notify add ok")) {
                        EXPECT_EQ(line.Field("tip"), lastTip) << "restart " << restart;
                        EXPECT_EQ(line.Field("hIcon"), lastIcon) << "restart " << restart;
                        return true;
                    }
                    if (notices < static_cast<std::size_t>(restart)) {
                        if (CarriesTip(line)) {
                            lastTip = line.Field("tip");
                        }
                        if (!line.Field("hIcon").empty() && line.StartsWith("notify")) {
                            lastIcon = line.Field("hIcon");
                        }
                    }
                }
                return false;
            },
            3s);
        ASSERT_TRUE(readded) << "no re-add after restart " << restart;
        ASSERT_TRUE(program.Running()) << program.Describe();
    }
}

INSTANTIATE_TEST_SUITE_P(HostEnds, TrayHostRestartTest,
                         ::testing::Values(HostEnd{SIGTERM, "Quits"}, HostEnd{SIGKILL, "Dies"}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace ww::e2e
