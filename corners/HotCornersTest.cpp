#include "corners/HotCorners.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>
#include <system_error>

#include "platform/sim/SimPlatform.h"

namespace ww::corners {
namespace {

using tray::TrayPicture;

struct NoFormEvents : platform::TrayFormEvents {
    void PictureBoxMouseMove(int, int, float, float) override {}
    void PlatformClose() override {}
};

// The simulated cursor and screen, with a fault that can be armed on the
// cursor query (after the screen size has been read).
class FaultyCursorScreen : public platform::CursorScreen {
  public:
    explicit FaultyCursorScreen(platform::CursorScreen& inner) : inner_(inner) {}
    std::int32_t GetSystemMetrics(int index) override { return inner_.GetSystemMetrics(index); }
    bool GetCursorPos(platform::Point& point) override {
        if (fault) {
            fault();
        }
        return inner_.GetCursorPos(point);
    }
    std::optional<platform::Corner> PointerCorner() override { return inner_.PointerCorner(); }
    std::function<void()> fault;

  private:
    platform::CursorScreen& inner_;
};

// A tray form, its icon pictures and the hotCorners over the simulated platform,
// hot corners on, a 1024 × 768 screen.
struct Rig {
    Rig() {
        form = sim.forms().CreateTrayForm(events);
        tray.LoadPictures(form.pictureBox);
        stored.HotCornersEnabled = 1;
    }

    void PassAt(std::int32_t x, std::int32_t y) {
        sim.cursorScreen().SetCursor(x, y);
        hotCorners.UpdateTrayState();
    }

    // The flags of every screen-saver switch so far, in order.
    std::vector<std::uint32_t> Switches() {
        std::vector<std::uint32_t> flags;
        for (const auto& call : sim.systemParameters().Calls()) {
            if (call.action == platform::spi::kSetScreenSaveActive) {
                flags.push_back(call.uiParam);
            }
        }
        return flags;
    }

    int Starts() { return sim.systemParameters().ScreenSaverStarts(); }
    std::uint8_t StartCorner() const { return hotCorners.State().StartCornerState; }
    std::uint8_t DisableCorner() const { return hotCorners.State().DisableCornerState; }

    // The picture the last run handed to the notification area.
    void ExpectShown(TrayPicture picture) {
        EXPECT_EQ(tray.Picture(), picture) << tray::PictureName(tray.Picture());
        const auto& requests = sim.notifyIcon().Requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(requests.back().message, platform::nim::kModify);
        EXPECT_EQ(requests.back().data.uFlags, platform::nif::kIcon);
        EXPECT_EQ(requests.back().data.hIcon, tray.IconHandle(picture));
    }

    NoFormEvents events;
    platform::SimPlatform sim;
    settings::StoredFlags stored;
    ScreenSaverSwitch saverSwitch;
    platform::Forms::TrayFormWindows form;
    tray::SysTray tray{sim.notifyIcon(), sim.windows(), [] { return tray::TrayIconLook{}; }};
    ScreenSaver saver{sim.systemParameters()};
    monitors::NetworkActivity network{sim.interfaceTable()};
    FaultyCursorScreen cursor{sim.cursorScreen()};
    HotCorners hotCorners{cursor, sim.dialogs(), saver, tray, stored, saverSwitch, network};
};

TEST(HotCornersZones, EdgesOfA1024By768Screen) {
    struct Case {
        std::int32_t x, y;
        bool inStart, inDisable;
    };
    const Case cases[] = {
        {4, 764, true, false},
        {5, 767, false, false},
        {0, 763, false, false},
        {1020, 764, false, true},
        {1019, 767, false, false},
        {1023, 763, false, false},
        {0, 767, true, false},
        {1023, 767, false, true},
        // No outer bounds: monitors left of / below / right of the primary one.
        {-300, 900, true, false},
        {1500, 2000, false, true},
        {-1, 764, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "(" << c.x << ", " << c.y << ")");
        Rig rig;
        rig.PassAt(c.x, c.y);
        EXPECT_EQ(rig.hotCorners.State().ScreenWidth, 1024);
        EXPECT_EQ(rig.hotCorners.State().ScreenHeight, 768);
        EXPECT_EQ(rig.StartCorner(), c.inStart ? 1 : 0);
        EXPECT_EQ(rig.DisableCorner(), c.inDisable ? 1 : 0);

        rig.PassAt(c.x, c.y);
        EXPECT_EQ(rig.Starts(), c.inStart ? 1 : 0);
        EXPECT_EQ(rig.Switches(),
                  c.inDisable ? std::vector<std::uint32_t>{0} : std::vector<std::uint32_t>{});
    }
}

TEST(HotCornersCorners, RestingBottomLeftStartsTheSaverOnceOnTheSecondPass) {
    Rig rig;
    rig.PassAt(2, 766);
    EXPECT_EQ(rig.StartCorner(), 1);
    EXPECT_EQ(rig.Starts(), 0);
    rig.ExpectShown(TrayPicture::imgSleepNow);

    rig.PassAt(3, 767);
    EXPECT_EQ(rig.StartCorner(), 2);
    EXPECT_EQ(rig.Starts(), 1);

    rig.PassAt(3, 767);
    rig.PassAt(0, 765);
    EXPECT_EQ(rig.StartCorner(), 2);
    EXPECT_EQ(rig.Starts(), 1);
    rig.ExpectShown(TrayPicture::imgSleepNow);

    rig.PassAt(500, 767);
    EXPECT_EQ(rig.StartCorner(), 0);
    rig.ExpectShown(TrayPicture::imgIcon_none);
    EXPECT_TRUE(rig.Switches().empty());
}

TEST(HotCornersCorners, OnePassOutsideResetsTheDwell) {
    Rig rig;
    rig.PassAt(0, 767);
    rig.PassAt(0, 700);
    rig.PassAt(0, 767);
    EXPECT_EQ(rig.StartCorner(), 1);
    EXPECT_EQ(rig.Starts(), 0);
}

TEST(HotCornersCorners, RestingBottomRightHoldsTheSaverOffUntilTheCursorLeaves) {
    Rig rig;
    rig.PassAt(1022, 766);
    EXPECT_EQ(rig.DisableCorner(), 1);
    EXPECT_TRUE(rig.Switches().empty());
    rig.ExpectShown(TrayPicture::imgSleepNever_none);

    rig.PassAt(1023, 767);
    rig.PassAt(1023, 767);
    EXPECT_EQ(rig.DisableCorner(), 2);
    EXPECT_EQ(rig.Switches(), std::vector<std::uint32_t>{0});
    EXPECT_EQ(rig.sim.systemParameters().SaverActive(), 0);

    rig.PassAt(1023, 100);
    EXPECT_EQ(rig.DisableCorner(), 0);
    EXPECT_EQ(rig.Switches(), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(rig.sim.systemParameters().SaverActive(), 1);
    rig.ExpectShown(TrayPicture::imgIcon_none);

    rig.PassAt(1023, 100);
    EXPECT_EQ(rig.Switches().size(), 2U);
}

TEST(HotCornersCorners, LeavingBottomRightAfterOnePassStillSwitchesTheSaverOn) {
    Rig rig;
    rig.PassAt(1020, 764);
    rig.PassAt(1019, 764);
    EXPECT_EQ(rig.DisableCorner(), 0);
    EXPECT_EQ(rig.Switches(), std::vector<std::uint32_t>{1});
}

// Where the desktop reports the corner itself, the same dwell follows what it
// reports; neither the screen nor the cursor position is asked for.
TEST(HotCornersCorners, ReportedCornersDriveTheSameDwell) {
    using platform::Corner;
    struct Step {
        Corner reported;
        int start, disable, starts;
        std::vector<std::uint32_t> switches;
    };
    const Step steps[] = {
        {Corner::None, 0, 0, 0, {}},        {Corner::BottomLeft, 1, 0, 0, {}},
        {Corner::BottomLeft, 2, 0, 1, {}},  {Corner::BottomLeft, 2, 0, 1, {}},
        {Corner::BottomRight, 0, 1, 1, {}}, {Corner::BottomRight, 0, 2, 1, {0}},
        {Corner::None, 0, 0, 1, {0, 1}},
    };
    Rig rig;
    rig.sim.cursorScreen().SetCursor(0, 767);  // in a zone, were it asked
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(::testing::Message() << "pass " << i + 1);
        const Step& step = steps[i];
        rig.sim.cursorScreen().SetPointerCorner(step.reported);
        rig.hotCorners.UpdateTrayState();
        EXPECT_EQ(rig.StartCorner(), step.start);
        EXPECT_EQ(rig.DisableCorner(), step.disable);
        EXPECT_EQ(rig.Starts(), step.starts);
        EXPECT_EQ(rig.Switches(), step.switches);
    }
    EXPECT_EQ(rig.sim.log().Count("GetCursorPos"), 0U);
    EXPECT_EQ(rig.sim.log().Count("GetSystemMetrics"), 0U);
    EXPECT_EQ(rig.hotCorners.State().ScreenWidth, 0);
}

TEST(HotCornersCorners, FailedCursorQueryCountsAsTopLeft) {
    struct Case {
        std::int32_t x;
        int passes;
        std::vector<std::uint32_t> switches;  // after the failed query
    };
    const Case cases[] = {{0, 1, {}}, {0, 2, {}}, {1023, 1, {1}}, {1023, 2, {0, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << " x" << c.passes);
        Rig rig;
        for (int i = 0; i < c.passes; ++i) {
            rig.PassAt(c.x, 767);
        }
        rig.sim.cursorScreen().SetCursorFails(true);
        rig.hotCorners.UpdateTrayState();
        EXPECT_EQ(rig.StartCorner(), 0);
        EXPECT_EQ(rig.DisableCorner(), 0);
        EXPECT_EQ(rig.Switches(), c.switches);
        rig.ExpectShown(TrayPicture::imgIcon_none);
    }
}

TEST(HotCornersCorners, StatesFreezeWhileDetectionIsOff) {
    struct Case {
        std::uint8_t hotCorners;
        bool saverDisabled;
        TrayPicture shown;
    };
    const Case cases[] = {{0, false, TrayPicture::imgSleepNever_none},
                          {2, false, TrayPicture::imgSleepNever_none},
                          {1, true, TrayPicture::imgDisable_none}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int{c.hotCorners} << " " << c.saverDisabled);
        Rig rig;
        rig.PassAt(1023, 767);
        rig.PassAt(1023, 767);
        rig.stored.HotCornersEnabled = c.hotCorners;
        rig.saverSwitch.ScreenSaverDisabled = c.saverDisabled;
        const std::size_t queries = rig.sim.log().Count("GetCursorPos");

        rig.PassAt(500, 300);
        rig.PassAt(0, 767);
        rig.PassAt(0, 767);
        EXPECT_EQ(rig.DisableCorner(), 2);
        EXPECT_EQ(rig.StartCorner(), 0);
        EXPECT_EQ(rig.Starts(), 0);
        EXPECT_EQ(rig.Switches(), std::vector<std::uint32_t>{0});
        EXPECT_EQ(rig.sim.log().Count("GetCursorPos"), queries);
        EXPECT_EQ(rig.sim.log().Count("GetSystemMetrics"), 2 * queries);
        rig.ExpectShown(c.shown);

        // Detection back on finds the cursor outside the bottom-right zone.
        rig.stored.HotCornersEnabled = 1;
        rig.saverSwitch.ScreenSaverDisabled = false;
        rig.PassAt(500, 300);
        EXPECT_EQ(rig.DisableCorner(), 0);
        EXPECT_EQ(rig.Switches(), (std::vector<std::uint32_t>{0, 1}));
    }
}

// Drives the two corners to the given states on a screen narrow enough for
// both zones to meet at x = 4, leaving the cursor where the last pass saw it.
void DriveCorners(Rig& rig, int start, int disable) {
    rig.sim.cursorScreen().SetScreenSize(8, 768);
    rig.sim.cursorScreen().SetCursor(4, 0);
    const int passes = std::max(start, disable);
    for (int i = 1; i <= passes; ++i) {
        const bool left = i > passes - start;
        const bool right = i > passes - disable;
        rig.PassAt(left ? (right ? 4 : 0) : (right ? 7 : 4), left || right ? 767 : 0);
    }
    ASSERT_EQ(rig.StartCorner(), start);
    ASSERT_EQ(rig.DisableCorner(), disable);
}

TEST(HotCornersIcon, CornerStatesFlagsAndActivityReachThePicture) {
    struct Case {
        int start, disable;
        std::uint8_t hotCorners;
        bool saverDisabled;
        bool receiving;
        TrayPicture shown;
    };
    const Case cases[] = {
        {0, 0, 1, false, false, TrayPicture::imgIcon_none},
        {0, 0, 1, false, true, TrayPicture::imgIcon_rx},
        {0, 0, 0, false, true, TrayPicture::imgSleeperDisabled_rx},
        {1, 0, 1, false, true, TrayPicture::imgSleepNow},
        {0, 2, 1, false, true, TrayPicture::imgSleepNever_rx},
        {0, 2, 1, true, false, TrayPicture::imgDisable_none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "corners " << c.start << c.disable << " hot " << int{c.hotCorners}
                     << " off " << c.saverDisabled << " rx " << c.receiving);
        Rig rig;
        DriveCorners(rig, c.start, c.disable);
        rig.stored.HotCornersEnabled = c.hotCorners;
        rig.saverSwitch.ScreenSaverDisabled = c.saverDisabled;
        rig.sim.interfaceTable().SetRows({{100, 100}});
        rig.network.Update();
        rig.sim.interfaceTable().SetRows({{c.receiving ? 200U : 100U, 100}});
        rig.network.Update();

        rig.hotCorners.UpdateTrayState();

        rig.ExpectShown(c.shown);
    }
}

TEST(HotCornersFailure, AbandonsTheRunAndShowsTheWarning) {
    struct Case {
        std::function<void()> fault;
        std::string shownAs;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, "[7] Out of memory"},
        {[] { throw std::system_error(EIO, std::generic_category()); },
         "[" + std::to_string(EIO) + "] " + std::generic_category().message(EIO)},
        {[] { throw std::runtime_error("display connection lost"); },
         "[51] display connection lost"},
        {[] { throw 42; }, "[51] Internal error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shownAs);
        Rig rig;
        rig.PassAt(0, 767);
        rig.sim.cursorScreen().SetScreenSize(800, 600);
        const std::size_t requests = rig.sim.notifyIcon().Requests().size();
        rig.cursor.fault = c.fault;

        rig.hotCorners.UpdateTrayState();
        rig.hotCorners.UpdateTrayState();

        const auto& shown = rig.sim.dialogs().Shown();
        ASSERT_EQ(shown.size(), 2U);
        EXPECT_EQ(shown[0].text, "Error while updating systray icon: \r\n" + c.shownAs);
        EXPECT_EQ(shown[0].style, platform::mb::kExclamation);
        EXPECT_EQ(shown[0].title, "Wakewatch");
        EXPECT_EQ(rig.sim.notifyIcon().Requests().size(), requests);
        // What the run wrote before the failure stays.
        EXPECT_EQ(rig.hotCorners.State().ScreenWidth, 800);
        EXPECT_EQ(rig.StartCorner(), 1);

        rig.cursor.fault = nullptr;
        rig.PassAt(0, 599);
        EXPECT_EQ(rig.Starts(), 1);
        rig.ExpectShown(TrayPicture::imgSleepNow);
        EXPECT_EQ(rig.sim.dialogs().Shown().size(), 2U);
    }
}

}  // namespace
}  // namespace ww::corners
