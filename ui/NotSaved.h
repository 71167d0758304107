#pragma once

#include <vector>

#include "platform/ports/MainWindow.h"
#include "platform/ports/UiRuntime.h"

namespace ww::ui {

// What a setting that could not be stored does meanwhile.
enum class UnsavedSetting {
    KeepsStoredValue,  // the program went back to what the store holds
    InForceThisRun,    // the program follows the change until it ends
};

// One warning box naming the settings (by their boxes' captions) that could
// not be stored, and what became of them.
void WarnNotSaved(platform::Dialogs& dialogs, platform::Application& application,
                  const std::vector<platform::MainControl>& settings, UnsavedSetting outcome);

}  // namespace ww::ui
