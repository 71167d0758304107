#include "corners/ScreenSaver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace ww::corners {
namespace {

using platform::SimSystemParameters;

class ScreenSaverTest : public ::testing::Test {
  protected:
    platform::SimPlatform sim_;
    ScreenSaver saver_{sim_.systemParameters()};
};

TEST_F(ScreenSaverTest, EachStartIsOneRequestToThePlatformAndNothingElse) {
    saver_.StartScreenSaver();
    saver_.StartScreenSaver();

    EXPECT_EQ(sim_.systemParameters().ScreenSaverStarts(), 2);
    EXPECT_EQ(sim_.log().Entries(),
              (std::vector<std::string>{"StartScreenSaver", "StartScreenSaver"}));
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

TEST_F(ScreenSaverTest, SwitchFormFollowsWhetherTheSwitchPersists) {
    struct Case {
        bool persists;
        std::optional<std::int32_t> pvParam;
        std::uint32_t fWinIni;
    };
    const Case cases[] = {{true, 0, 3}, {false, std::nullopt, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "persists " << c.persists);
        auto& parameters = sim_.systemParameters();
        parameters.SetSwitchPersists(c.persists);
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
