#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ports/MainWindow.h"
#include "platform/ports/Shell.h"
#include "platform/ports/UiRuntime.h"

namespace ww::ui {

// The program a failed link is blamed on, by the link's first characters
// (case-sensitive): "browser", "mail client" or "application handling those files".
std::string_view LinkHandlerKind(std::string_view link);

// "Error 31 opening link to <link>" and, on a second line, which program to check.
std::string LinkFailureText(std::intptr_t result, std::string_view link);

// Opens a URL or "mailto:" link through the shell under the hourglass and
// explains a failure (a result of 32 or less) in a warning box titled `title`.
// The pointer is back to the default afterwards, whatever happened.
void ExecuteLink(platform::Shell& shell, platform::Dialogs& dialogs, platform::MainWindowView& view,
                 std::string_view title, const std::string& link);

}  // namespace ww::ui
