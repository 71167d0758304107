#pragma once

#include <string>
#include <vector>

#include "platform/ports/UiRuntime.h"

namespace ww::platform {

// The two options every GNU program answers and then ends: they work without
// a display, a tray or a settings file. Everything else on the command line
// is the program's own business (-POPUP, or words it ignores).
enum class InformationOption { kNone, kHelp, kVersion };

// The first --help or --version among the arguments; "--" ends the options.
InformationOption FindInformationOption(const std::vector<std::string>& arguments);

// What --help and --version print, each ending in a line break.
std::string HelpText(const AppFacts& app);
std::string VersionText(const AppFacts& app);

}  // namespace ww::platform
