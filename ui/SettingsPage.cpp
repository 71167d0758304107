#include "ui/SettingsPage.h"

#include <vector>

#include "platform/ports/ProgramInfo.h"
#include "settings/SettingsStore.h"
#include "ui/NotSaved.h"

namespace ww::ui {

namespace {

using platform::MainControl;

constexpr int kGreyed = 2;

}  // namespace

void SettingsPage::ShowCurrentSettings() {
    SetBox(MainControl::chkHotCorners, flags_.HotCornersEnabled);
    SetBox(MainControl::chkAutoStartCurr, flags_.AutoStartCurrentUser);
    SetBox(MainControl::chkAutoStartAll, flags_.AutoStartAllUsers);
    if (!cursor_.CanWatchCorners()) {
        view_.SetEnabled(MainControl::chkHotCorners, false);
        view_.SetText(MainControl::Label3, kNoCornersText);
    }
}

void SettingsPage::SetBox(MainControl box, int state) {
    if (state < 0 || state > kGreyed || view_.GetCheck(box) == state) {
        return;
    }
    view_.SetCheck(box, state);
    Click(box);
}

void SettingsPage::Click(MainControl box) {
    if (box == MainControl::chkAutoStartAll) {
        chkAutoStartAll_Click();
    } else if (box == MainControl::chkAutoStartCurr) {
        chkAutoStartCurr_Click();
    }
}

// The two start-up boxes exclude each other: ticking one unticks the other.
void SettingsPage::chkAutoStartAll_Click() {
    if (view_.GetCheck(MainControl::chkAutoStartAll) == 1) {
        SetBox(MainControl::chkAutoStartCurr, 0);
    }
}

void SettingsPage::chkAutoStartCurr_Click() {
    if (view_.GetCheck(MainControl::chkAutoStartCurr) == 1) {
        SetBox(MainControl::chkAutoStartAll, 0);
    }
}

void SettingsPage::btnApply_Click() {
    std::vector<MainControl> unsaved;

    const int hotCorners = view_.GetCheck(MainControl::chkHotCorners);
    if (hotCorners != flags_.HotCornersEnabled) {
        if (settings::StoreHotCorners(reg_, hotCorners)) {
            flags_.HotCornersEnabled = static_cast<std::uint8_t>(hotCorners);
        } else {
            flags_.HotCornersEnabled = settings::StoredHotCorners(reg_);
            if (flags_.HotCornersEnabled != hotCorners) {
                unsaved.push_back(MainControl::chkHotCorners);
            }
        }
    }
    if (!ApplyAutoStart(MainControl::chkAutoStartCurr, platform::kHkeyCurrentUser,
                        flags_.AutoStartCurrentUser)) {
        unsaved.push_back(MainControl::chkAutoStartCurr);
    }
    if (!ApplyAutoStart(MainControl::chkAutoStartAll, platform::kHkeyLocalMachine,
                        flags_.AutoStartAllUsers)) {
        unsaved.push_back(MainControl::chkAutoStartAll);
    }

    if (unsaved.empty()) {
        return;
    }
    // The page shows what is in force now, as it would when opened afresh.
    ShowCurrentSettings();
    WarnNotSaved(dialogs_, application_, unsaved, UnsavedSetting::KeepsStoredValue);
}

bool SettingsPage::ApplyAutoStart(MainControl box, platform::HKey root, std::uint8_t& flag) {
    const int state = view_.GetCheck(box);
    if (state == flag) {
        return true;
    }
    const bool stored =
        state == 1
            ? reg_.WriteRegString(root, settings::RunKey(), platform::kAppTitle, ExecutablePath())
            : reg_.DeleteRegValue(root, settings::RunKey(), platform::kAppTitle);
    if (stored) {
        flag = static_cast<std::uint8_t>(state);
        return true;
    }
    // A delete that found nothing to delete still leaves the store as asked.
    flag = settings::RunEntryExists(reg_, root) ? 1 : 0;
    return flag == state;
}

// Quoted, so that a folder with blanks cannot start another program.
std::string SettingsPage::ExecutablePath() {
    const platform::AppFacts& app = application_.App();
    return "\"" + app.path + app.pathSeparator + app.exeName + app.exeExtension + "\"";
}

}  // namespace ww::ui
