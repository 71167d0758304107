#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ww::platform {

// A program to start and its arguments.
struct ToolCommand {
    std::string program;  // full path
    std::vector<std::string> arguments;
};

// The screen-saver (screen blanking and locking) settings of the desktop in
// use, found on `searchPath` (a PATH value): the tool of a desktop named in
// `desktops` (XDG_CURRENT_DESKTOP, names separated by ':') first, then every
// known tool in a fixed order.
std::optional<ToolCommand> FindSaverSettingsTool(std::string_view searchPath,
                                                 std::string_view desktops);

// The full path of the executable file `name` in the first directory of
// `searchPath` that holds one, or "" (an empty entry is the current directory; an empty path has
// none).
std::string FindExecutable(std::string_view searchPath, std::string_view name);

}  // namespace ww::platform
