#include "corners/Sleeper.h"

#include <array>
#include <exception>
#include <new>
#include <string>
#include <system_error>

namespace ww::corners {

namespace {

using tray::TrayPicture;

// Both zones are the bottom four rows; the bottom-left one takes columns 0 to
// 4 and the bottom-right one the last four, so the two are not mirror images.
constexpr std::int64_t kCornerMargin = 4;

constexpr std::uint8_t kIdle = 0;
constexpr std::uint8_t kArmed = 1;
constexpr std::uint8_t kDone = 2;

// Per family, the pictures for no activity, received, sent, both.
using Family = std::array<TrayPicture, 4>;
constexpr Family kDisabledFamily = {TrayPicture::imgDisable_none, TrayPicture::imgDisable_rx,
                                    TrayPicture::imgDisable_tx, TrayPicture::imgDisable_rxtx};
constexpr Family kSleepNeverFamily = {TrayPicture::imgSleepNever_none,
                                      TrayPicture::imgSleepNever_rx, TrayPicture::imgSleepNever_tx,
                                      TrayPicture::imgSleepNever_rxtx};
constexpr Family kSleepNowFamily = {TrayPicture::imgSleepNow, TrayPicture::imgSleepNow,
                                    TrayPicture::imgSleepNow, TrayPicture::imgSleepNow};
constexpr Family kNormalFamily = {TrayPicture::imgIcon_none, TrayPicture::imgIcon_rx,
                                  TrayPicture::imgIcon_tx, TrayPicture::imgIcon_rxtx};
constexpr Family kHotCornersOffFamily = {
    TrayPicture::imgSleeperDisabled_none, TrayPicture::imgSleeperDisabled_rx,
    TrayPicture::imgSleeperDisabled_tx, TrayPicture::imgSleeperDisabled_rxtx};

struct Failure {
    long number;
    std::string description;
};

// Out of memory keeps the run-time's own number 7; a system error carries the
// system's number and text; anything else is reported as internal error 51
// with whatever text it brings.
Failure DescribeFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return {7, "Out of memory"};
    } catch (const std::system_error& error) {
        return {error.code().value(), error.code().message()};
    } catch (const std::exception& error) {
        return {51, error.what()};
    } catch (...) {
        return {51, "Internal error"};
    }
}

}  // namespace

void Sleeper::UpdateTrayState() {
    try {
        if (shared_.HotCornersEnabled == 1 && !shared_.ScreenSaverDisabled) {
            DetectCorners();
        }
        tray_.SetTrayIcon(ChoosePicture());
    } catch (...) {
        const Failure failure = DescribeFailure(std::current_exception());
        dialogs_.MsgBox("Error while updating systray icon: \r\n[" +
                            std::to_string(failure.number) + "] " + failure.description,
                        platform::mb::kOkOnly | platform::mb::kExclamation, core::kAppTitle);
    }
}

void Sleeper::DetectCorners() {
    state_.ScreenWidth = cursor_.GetSystemMetrics(platform::kSmCxScreen);
    state_.ScreenHeight = cursor_.GetSystemMetrics(platform::kSmCyScreen);

    // A failed query leaves (0, 0), which is in neither zone on any screen
    // taller than the margin.
    platform::Point point{0, 0};
    cursor_.GetCursorPos(point);

    // Signed and wide: positions on a monitor left of or below the primary
    // one count as inside when they pass the same two tests.
    const std::int64_t x = point.x;
    const std::int64_t y = point.y;
    const bool bottom = y >= std::int64_t{state_.ScreenHeight} - kCornerMargin;
    const bool inStart = bottom && x <= kCornerMargin;
    const bool inDisable = bottom && x >= std::int64_t{state_.ScreenWidth} - kCornerMargin;

    auto& start = state_.StartCornerState;
    if (!inStart) {
        start = kIdle;
    } else if (start == kArmed) {
        saver_.StartScreenSaver();
        start = kDone;
    } else if (start != kDone) {
        start = kArmed;
    }

    auto& disable = state_.DisableCornerState;
    if (!inDisable) {
        // Also after a single pass, when nothing was suspended yet: switching
        // on is harmless and keeps the rule simple.
        if (disable != kIdle) {
            saver_.EnableScreenSaver();
        }
        disable = kIdle;
    } else if (disable == kArmed) {
        saver_.DisableScreenSaver();
        disable = kDone;
    } else if (disable != kDone) {
        disable = kArmed;
    }
}

TrayPicture Sleeper::ChoosePicture() {
    if (!network_) {
        network_ = std::make_unique<monitors::CIpHelper>(table_);
    }
    const bool rx = network_->bRX;
    const bool tx = network_->bTX;
    const std::size_t activity = (rx ? 1U : 0U) + (tx ? 2U : 0U);

    const Family* family = &kHotCornersOffFamily;
    if (shared_.ScreenSaverDisabled) {
        family = &kDisabledFamily;
    } else if (state_.DisableCornerState != kIdle) {
        family = &kSleepNeverFamily;
    } else if (state_.StartCornerState != kIdle) {
        family = &kSleepNowFamily;
    } else if (shared_.HotCornersEnabled != 0) {
        family = &kNormalFamily;
    }
    return (*family)[activity];
}

}  // namespace ww::corners
