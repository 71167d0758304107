#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/CursorScreen.h"
#include "platform/ports/MainWindow.h"
#include "platform/ports/Registry.h"
#include "platform/ports/UiRuntime.h"
#include "settings/RegistryAccess.h"
#include "settings/StoredFlags.h"

namespace ww::ui {

// The Settings page of the main window: three check boxes over the stored
// flags, stored by Apply. Nothing is kept here but the boxes themselves.
class SettingsPage {
  public:
    // In place of the hot corners' explanation where they cannot work.
    static constexpr const char* kNoCornersText =
        "This desktop does not let programs watch the screen corners.";

    SettingsPage(platform::MainWindowView& view, platform::Registry& registry,
                 platform::Dialogs& dialogs, platform::Application& application,
                 platform::CursorScreen& cursor, settings::StoredFlags& flags)
        : view_(view),
          reg_(registry),
          dialogs_(dialogs),
          application_(application),
          cursor_(cursor),
          flags_(flags) {}

    // The boxes from the flags: hot corners, then current user, then all
    // users, each through SetBox (so both start flags set end with only the
    // all-users box ticked). Where the desktop hides the corners from
    // programs, the hot-corners box is greyed and the page says why.
    void ShowCurrentSettings();

    // Sets a box's state in code. As with a user click, a change runs the
    // box's click rule. A state a box cannot show (above 2) leaves it alone.
    void SetBox(platform::MainControl box, int state);

    // The click rule of a box, after its state changed.
    void Click(platform::MainControl box);
    void chkAutoStartAll_Click();
    void chkAutoStartCurr_Click();

    // Stores what differs between each box and its flag. A change that could
    // not be stored leaves the flag at what the store holds, the boxes then
    // show the flags, and the change is named in one warning box.
    void btnApply_Click();

    // The automatic-start command line: the program file's path in quotes.
    std::string ExecutablePath();

  private:
    // Stores one automatic-start box; false when the store ends up disagreeing with it.
    bool ApplyAutoStart(platform::MainControl box, platform::HKey root, std::uint8_t& flag);

    platform::MainWindowView& view_;
    settings::RegistryAccess reg_;
    platform::Dialogs& dialogs_;
    platform::Application& application_;
    platform::CursorScreen& cursor_;
    settings::StoredFlags& flags_;
};

}  // namespace ww::ui
