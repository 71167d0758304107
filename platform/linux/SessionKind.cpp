#include "platform/linux/SessionKind.h"

#include <cstdlib>

namespace ww::platform {

SessionKind DetectSessionKind(const std::function<std::string(const char* name)>& lookup) {
    if (!lookup("WAYLAND_DISPLAY").empty() || lookup("XDG_SESSION_TYPE") == "wayland") {
        return SessionKind::Wayland;
    }
    return SessionKind::X11;
}

SessionKind CurrentSessionKind() {
    return DetectSessionKind([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    });
}

}  // namespace ww::platform
