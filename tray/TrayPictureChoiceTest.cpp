#include "tray/TrayPictureChoice.h"

#include <gtest/gtest.h>

#include <array>

namespace ww::tray {
namespace {

TEST(TrayPictureChoice, FamilyByFirstFactThatHoldsThenActivity) {
    using Family = std::array<TrayPicture, 4>;  // none, rx, tx, rxtx
    const Family disabled = {TrayPicture::imgDisable_none, TrayPicture::imgDisable_rx,
                             TrayPicture::imgDisable_tx, TrayPicture::imgDisable_rxtx};
    const Family sleepNever = {TrayPicture::imgSleepNever_none, TrayPicture::imgSleepNever_rx,
                               TrayPicture::imgSleepNever_tx, TrayPicture::imgSleepNever_rxtx};
    const Family sleepNow = {TrayPicture::imgSleepNow, TrayPicture::imgSleepNow,
                             TrayPicture::imgSleepNow, TrayPicture::imgSleepNow};
    const Family normal = {TrayPicture::imgIcon_none, TrayPicture::imgIcon_rx,
                           TrayPicture::imgIcon_tx, TrayPicture::imgIcon_rxtx};
    const Family cornersOff = {
        TrayPicture::imgSleeperDisabled_none, TrayPicture::imgSleeperDisabled_rx,
        TrayPicture::imgSleeperDisabled_tx, TrayPicture::imgSleeperDisabled_rxtx};

    for (const std::uint8_t hotCorners : std::array<std::uint8_t, 4>{0, 1, 2, 255}) {
        for (const bool saverDisabled : {false, true}) {
            for (const bool starting : {false, true}) {
                for (const bool holding : {false, true}) {
                    for (int activity = 0; activity < 4; ++activity) {
                        SCOPED_TRACE(::testing::Message()
                                     << "hot " << int{hotCorners} << " off " << saverDisabled
                                     << " starting " << starting << " holding " << holding
                                     << " act " << activity);
                        const TrayPictureFacts facts{
                            hotCorners, saverDisabled,       holding,
                            starting,   (activity & 1) != 0, (activity & 2) != 0};
                        const Family& expected = saverDisabled     ? disabled
                                                 : holding         ? sleepNever
                                                 : starting        ? sleepNow
                                                 : hotCorners != 0 ? normal
                                                                   : cornersOff;
                        EXPECT_EQ(ChooseTrayPicture(facts),
                                  expected[static_cast<std::size_t>(activity)]);
                    }
                }
            }
        }
    }
}

TEST(TrayPictureChoice, StartupPictureShowsHotCornersOnOnlyForExactlyOne) {
    const struct {
        std::uint8_t hotCorners;
        TrayPicture expected;
    } cases[] = {{0, TrayPicture::imgSleeperDisabled_none},
                 {1, TrayPicture::imgIcon_none},
                 {2, TrayPicture::imgSleeperDisabled_none},
                 {255, TrayPicture::imgSleeperDisabled_none}};
    for (const auto& c : cases) {
        EXPECT_EQ(StartupPicture(c.hotCorners), c.expected) << int{c.hotCorners};
    }
}

}  // namespace
}  // namespace ww::tray
