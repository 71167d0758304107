#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/wayland/FakeCompositor.h"
#include "platform/linux/wayland/IdleInhibitSurface.h"
#include "platform/linux/wayland/LayerShellCorners.h"
#include "tests/support/CaseNames.h"

namespace ww::platform {
namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "ww_platform_linux_wayland_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the loop (where the compositor's events are read) until `done` holds.
template <typename Done>
bool Until(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::size_t Count(const std::vector<std::string>& requests, const std::string& prefix) {
    return static_cast<std::size_t>(std::count_if(
        requests.begin(), requests.end(), [&](const auto& r) { return r.starts_with(prefix); }));
}

class WithdrawnGlobalsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        setenv("WAYLAND_DISPLAY", compositor_.Socket().c_str(), 1);
    }
    test::FakeCompositor compositor_;
};

struct Withdrawal {
    const char* name;
    const char* interface;
    bool cornersFollow;  // the corners need it
    bool holdFollows;    // the idle inhibitor needs it
};
using ww::cases::PrintTo;

const Withdrawal kWithdrawals[] = {
    {"LayerShell", "zwlr_layer_shell_v1", true, true},
    {"Seat", "wl_seat", true, false},
    {"IdleInhibitManager", "zwp_idle_inhibit_manager_v1", false, true},
};

class EachWithdrawal : public WithdrawnGlobalsTest,
                       public ::testing::WithParamInterface<Withdrawal> {};

// A compositor that withdraws what the corners need is one without it: the
// menu and the settings page grey hot corners as at start, until it is back.
TEST_P(EachWithdrawal, CornersAreWatchedOnlyWhileTheirGlobalsAreOffered) {
    LayerShellCorners corners;
    ASSERT_TRUE(corners.CanWatchCorners());
    corners.PointerCorner();  // puts the corner surfaces up
    ASSERT_TRUE(corners.Watching());

    compositor_.Withdraw(GetParam().interface);
    if (!GetParam().cornersFollow) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        EXPECT_TRUE(corners.CanWatchCorners());
        return;
    }
    ASSERT_TRUE(Until([&] { return !corners.CanWatchCorners(); }));
    EXPECT_FALSE(corners.Watching());
    EXPECT_EQ(corners.PointerCorner(), Corner::None);
    EXPECT_FALSE(corners.Watching());

    compositor_.Offer(GetParam().interface);
    ASSERT_TRUE(Until([&] { return corners.CanWatchCorners(); }));
    corners.PointerCorner();
    EXPECT_TRUE(corners.Watching());
}

// The same for the hold: without the manager or the layer shell the surface
// and its inhibitor go and the saver's choice falls back; a hold still taken
// goes up again when they are offered again.
TEST_P(EachWithdrawal, TheHoldStandsOnlyWhileItsGlobalsAreOffered) {
    IdleInhibitSurface hold;
    ASSERT_TRUE(hold.Available());
    ASSERT_TRUE(hold.Hold());
    ASSERT_TRUE(Until([&] {
        return Count(compositor_.Requests(), "zwp_idle_inhibit_manager_v1.create_inhibitor") == 1;
    }));

    compositor_.Withdraw(GetParam().interface);
    if (!GetParam().holdFollows) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        EXPECT_TRUE(hold.Available());
        EXPECT_TRUE(hold.Inhibiting());
        return;
    }
    ASSERT_TRUE(Until([&] { return !hold.Available(); }));
    EXPECT_FALSE(hold.Inhibiting());
    EXPECT_FALSE(hold.Hold());
    ASSERT_TRUE(Until([&] {
        return Count(compositor_.Requests(), "zwp_idle_inhibitor_v1.destroy") == 1 &&
               Count(compositor_.Requests(), "wl_surface.destroy") == 1;
    }));

    compositor_.Offer(GetParam().interface);
    ASSERT_TRUE(Until([&] { return hold.Available(); }));
    EXPECT_TRUE(hold.Inhibiting());
    EXPECT_TRUE(Until([&] {
        return Count(compositor_.Requests(), "zwp_idle_inhibit_manager_v1.create_inhibitor") == 2;
    }));
}

INSTANTIATE_TEST_SUITE_P(Globals, EachWithdrawal, ::testing::ValuesIn(kWithdrawals),
                         ww::cases::CaseName{});

// The surface under the inhibitor is a single pixel on the overlay that
// takes no clicks and no keys, and it goes with the release.
TEST_F(WithdrawnGlobalsTest, TheHoldIsAPixelThatTakesNoInputAndGoesWithTheRelease) {
    IdleInhibitSurface hold;
    ASSERT_TRUE(hold.Hold());
    ASSERT_TRUE(hold.Hold());  // one hold
    ASSERT_TRUE(Until([&] { return Count(compositor_.Requests(), "wl_surface.commit") == 1; }));
    const auto held = compositor_.Requests();
    EXPECT_EQ(Count(held, "zwp_idle_inhibit_manager_v1.create_inhibitor"), 1U);
    EXPECT_EQ(Count(held, "wl_compositor.create_region"), 1U);
    EXPECT_EQ(Count(held, "wl_region.add"), 0U);  // empty: no input
    EXPECT_EQ(Count(held, "wl_surface.set_input_region"), 1U);
    EXPECT_EQ(Count(held, "zwlr_layer_shell_v1.get_layer_surface 3"), 1U);  // overlay
    EXPECT_EQ(Count(held, "zwlr_layer_surface_v1.set_size 1 1"), 1U);
    EXPECT_EQ(Count(held, "zwlr_layer_surface_v1.set_keyboard_interactivity 0"), 1U);

    hold.Release();
    EXPECT_FALSE(hold.Held());
    ASSERT_TRUE(Until([&] {
        const auto released = compositor_.Requests();
        return Count(released, "zwp_idle_inhibitor_v1.destroy") == 1 &&
               Count(released, "zwlr_layer_surface_v1.destroy") == 1 &&
               Count(released, "wl_surface.destroy") == 1;
    }));
}

}  // namespace
}  // namespace ww::platform
