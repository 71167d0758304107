#include "corners/ScreenSaver.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/sim/SimPlatform.h"
#include "tray/SysTray.h"

namespace ww::corners {
namespace {

using platform::SimSystemParameters;

struct NoFormEvents : platform::TrayFormEvents {
    void PictureBoxMouseMove(int, int, float, float) override {}
    void PlatformClose() override {}
};

class ScreenSaverTest : public ::testing::Test {
  protected:
    ScreenSaverTest() {
        form_ = sim_.forms().CreateTrayForm(events_);
        saver_.SetTrayWindow(form_.form);
    }

    NoFormEvents events_;
    platform::SimPlatform sim_;
    monitors::ComputerIdentity computer_;
    platform::Forms::TrayFormWindows form_;
    ScreenSaver saver_{sim_.windows(), sim_.systemParameters(), computer_};
};

TEST_F(ScreenSaverTest, StartGoesThroughTheTrayWindowsDefaultProcessing) {
    saver_.StartScreenSaver();

    EXPECT_EQ(sim_.systemParameters().ScreenSaverStarts(), 1);
    EXPECT_EQ(sim_.log().WithPrefix("SendMessageA"),
              std::vector<std::string>{"SendMessageA(" + std::to_string(form_.form) +
                                       ", 274, 61760, 0)"});
}

TEST_F(ScreenSaverTest, StartPassesThroughTheTrayHook) {
    tray::SysTray tray(sim_.notifyIcon(), sim_.windows(), [] { return tray::TrayIconLook{}; });
    tray.LoadPictures(form_.pictureBox);
    tray.HookTrayWindow(form_.form);

    saver_.StartScreenSaver();
    saver_.StartScreenSaver();

    EXPECT_EQ(sim_.systemParameters().ScreenSaverStarts(), 2);
    tray.UnhookTrayWindow();
}

TEST_F(ScreenSaverTest, ActiveOnlyForExactlyOne) {
    struct Case {
        std::int32_t reported;
        bool fails;
        bool active;
    };
    const Case cases[] = {{1, false, true},
                          {0, false, false},
                          {2, false, false},
                          {-1, false, false},
                          {1, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.reported << (c.fails ? " failing" : ""));
        sim_.systemParameters().SetSaverActive(c.reported);
        sim_.systemParameters().SetFails(c.fails);

        EXPECT_EQ(saver_.GetScreenSaverActive(), c.active);
        const auto& call = sim_.systemParameters().Calls().back();
        EXPECT_EQ(call.action, 16U);
        EXPECT_EQ(call.uiParam, 0U);
        EXPECT_EQ(call.pvParam, std::optional<std::int32_t>(0));
        EXPECT_EQ(call.fWinIni, 0U);
    }
}

TEST_F(ScreenSaverTest, SwitchFormFollowsThePlatformId) {
    struct Case {
        std::int32_t platformId;
        std::optional<std::int32_t> pvParam;
        std::uint32_t fWinIni;
    };
    const Case cases[] = {
        {0, std::nullopt, 0}, {1, std::nullopt, 0}, {2, 0, 3}, {3, std::nullopt, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "OSPlatformId " << c.platformId);
        computer_.OSPlatformId = c.platformId;
        auto& parameters = sim_.systemParameters();
        parameters.SetSaverActive(1);

        saver_.DisableScreenSaver();
        EXPECT_EQ(parameters.SaverActive(), 0);
        saver_.EnableScreenSaver();
        EXPECT_EQ(parameters.SaverActive(), 1);
        saver_.EnableScreenSaver();  // already on: still issued in full

        const auto& calls = parameters.Calls();
        ASSERT_GE(calls.size(), 3U);
        const std::uint32_t flags[] = {0, 1, 1};
        for (std::size_t i = 0; i < 3; ++i) {
            const SimSystemParameters::Call& call = calls[calls.size() - 3 + i];
            EXPECT_EQ(call.action, 17U);
            EXPECT_EQ(call.uiParam, flags[i]);
            EXPECT_EQ(call.pvParam, c.pvParam);
            EXPECT_EQ(call.fWinIni, c.fWinIni);
        }
    }
}

}  // namespace
}  // namespace ww::corners
