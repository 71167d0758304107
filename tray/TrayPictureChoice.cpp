#include "tray/TrayPictureChoice.h"

#include <array>
#include <cstddef>

namespace ww::tray {

namespace {

// Per family, the pictures for no activity, received, sent, both.
using Family = std::array<TrayPicture, 4>;
constexpr Family kDisabledFamily = {TrayPicture::imgDisable_none, TrayPicture::imgDisable_rx,
                                    TrayPicture::imgDisable_tx, TrayPicture::imgDisable_rxtx};
constexpr Family kSleepNeverFamily = {TrayPicture::imgSleepNever_none,
                                      TrayPicture::imgSleepNever_rx, TrayPicture::imgSleepNever_tx,
                                      TrayPicture::imgSleepNever_rxtx};
// Starting the saver has one picture whatever the network does.
constexpr Family kSleepNowFamily = {TrayPicture::imgSleepNow, TrayPicture::imgSleepNow,
                                    TrayPicture::imgSleepNow, TrayPicture::imgSleepNow};
constexpr Family kNormalFamily = {TrayPicture::imgIcon_none, TrayPicture::imgIcon_rx,
                                  TrayPicture::imgIcon_tx, TrayPicture::imgIcon_rxtx};
constexpr Family kHotCornersOffFamily = {
    TrayPicture::imgSleeperDisabled_none, TrayPicture::imgSleeperDisabled_rx,
    TrayPicture::imgSleeperDisabled_tx, TrayPicture::imgSleeperDisabled_rxtx};

}  // namespace

TrayPicture ChooseTrayPicture(const TrayPictureFacts& facts) {
    const std::size_t activity = (facts.receiving ? 1U : 0U) + (facts.sending ? 2U : 0U);
    const Family* family = &kHotCornersOffFamily;
    if (facts.screenSaverDisabled) {
        family = &kDisabledFamily;
    } else if (facts.holdingSaverOff) {
        family = &kSleepNeverFamily;
    } else if (facts.startingSaver) {
        family = &kSleepNowFamily;
    } else if (facts.hotCornersEnabled != 0) {
        family = &kNormalFamily;
    }
    return (*family)[activity];
}

TrayPicture StartupPicture(std::uint8_t hotCornersEnabled) {
    return hotCornersEnabled == 1 ? TrayPicture::imgIcon_none
                                  : TrayPicture::imgSleeperDisabled_none;
}

}  // namespace ww::tray
