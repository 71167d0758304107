#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/saver/SaverChoice.h"

namespace ww::platform {

// A program to start and its arguments.
struct ToolCommand {
    std::string program;  // full path
    std::vector<std::string> arguments;
};

// The settings (screen blanking and locking) of the saver the session runs,
// known by how it is started (`saver`), found on `searchPath` (a PATH
// value): among that saver's tools, the one of a desktop named in `desktops`
// (XDG_CURRENT_DESKTOP, names separated by ':') first. Where the bare X
// server is the saver, any known tool, the desktop's first, since each of
// them can set one up. None for a saver that has no settings tool (an idle
// daemon of a Wayland compositor) or where nothing is the saver.
std::optional<ToolCommand> FindSaverSettingsTool(std::string_view searchPath,
                                                 std::string_view desktops, StartWay saver);

// The full path of the executable file `name` in the first directory of
// `searchPath` that holds one, or "" (an empty entry is the current directory; an empty path has
// none).
std::string FindExecutable(std::string_view searchPath, std::string_view name);

}  // namespace ww::platform
