#pragma once

#include <string>
#include <string_view>

#include "platform/ports/UiRuntime.h"

namespace ww::platform {

// What every backend reports alike about this program: its title and
// version. The folder is the backend's to find; `fileName` is the program
// file's name, split here into name and extension (a leading dot is part of
// the name, not an extension).
AppFacts ProgramFacts(std::string pathSeparator, std::string folder, std::string_view fileName);

}  // namespace ww::platform
