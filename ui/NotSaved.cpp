#include "ui/NotSaved.h"

#include <string>

namespace ww::ui {

namespace {

using platform::MainControl;

// What the warning calls each setting: its box's caption without the access key.
const char* SettingName(MainControl box) {
    switch (box) {
        case MainControl::chkHotCorners:
            return "Enable Hot Corners";
        case MainControl::chkAutoStartAll:
            return "Auto Load Wakewatch for All Users";
        default:
            return "Auto Load Wakewatch for Current User";
    }
}

}  // namespace

void WarnNotSaved(platform::Dialogs& dialogs, platform::Application& application,
                  const std::vector<MainControl>& settings, UnsavedSetting outcome) {
    if (settings.empty()) {
        return;
    }
    std::string text = "These settings could not be saved:";
    for (const MainControl box : settings) {
        text += "\r\n" + std::string(SettingName(box));
    }
    text += outcome == UnsavedSetting::KeepsStoredValue ? "\r\nThey keep their stored values."
                                                        : "\r\nThey apply until Wakewatch ends.";
    dialogs.MsgBox(text, platform::mb::kOkOnly | platform::mb::kExclamation,
                   application.App().title);
}

}  // namespace ww::ui
