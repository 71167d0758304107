#include "corners/HotCorners.h"

#include <exception>
#include <new>
#include <string>
#include <system_error>

#include "platform/ports/CornerZones.h"
#include "platform/ports/ProgramInfo.h"

namespace ww::corners {

namespace {

constexpr std::uint8_t kIdle = 0;
constexpr std::uint8_t kArmed = 1;
constexpr std::uint8_t kDone = 2;

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

void HotCorners::UpdateTrayState() {
    try {
        if (flags_.HotCornersEnabled == 1 && !saverSwitch_.ScreenSaverDisabled) {
            DetectCorners();
        }
        tray_.SetTrayIcon(tray::ChooseTrayPicture(
            {flags_.HotCornersEnabled, saverSwitch_.ScreenSaverDisabled,
             state_.DisableCornerState != kIdle, state_.StartCornerState != kIdle,
             network_.Receiving(), network_.Sending()}));
    } catch (...) {
        const Failure failure = DescribeFailure(std::current_exception());
        dialogs_.MsgBox("Error while updating systray icon: \r\n[" +
                            std::to_string(failure.number) + "] " + failure.description,
                        platform::mb::kOkOnly | platform::mb::kExclamation, platform::kAppTitle);
    }
}

HotCorners::Zones HotCorners::LocateCursor() {
    if (const auto corner = cursor_.PointerCorner()) {
        // The desktop has said which corner itself: there is no position to test.
        return {*corner == platform::Corner::BottomLeft, *corner == platform::Corner::BottomRight};
    }
    state_.ScreenWidth = cursor_.GetSystemMetrics(platform::kSmCxScreen);
    state_.ScreenHeight = cursor_.GetSystemMetrics(platform::kSmCyScreen);

    // A failed query leaves (0, 0), which is in neither zone on any screen
    // taller than the margin.
    platform::Point point{0, 0};
    cursor_.GetCursorPos(point);
    return {platform::InBottomLeftZone(point, state_.ScreenHeight),
            platform::InBottomRightZone(point, state_.ScreenWidth, state_.ScreenHeight)};
}

void HotCorners::DetectCorners() {
    const auto [inStart, inDisable] = LocateCursor();

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

}  // namespace ww::corners
