#pragma once

#include <functional>
#include <string>

namespace ww::platform {

// The kind of desktop session the program was started in.
enum class SessionKind { X11, Wayland };

// A Wayland session when WAYLAND_DISPLAY is set (not empty) or
// XDG_SESSION_TYPE is "wayland"; otherwise X11. `lookup` answers an
// environment variable, empty when unset.
SessionKind DetectSessionKind(const std::function<std::string(const char* name)>& lookup);

// The same from this process's environment.
SessionKind CurrentSessionKind();

}  // namespace ww::platform
