#pragma once

#include <functional>
#include <string>

namespace ww::platform {

// Where the settings files live, from the XDG base-directory variables.
struct StorePaths {
    std::string userFile;          // $XDG_CONFIG_HOME/wakewatch/user.reg
    std::string machineFile;       // <first of $XDG_CONFIG_DIRS>/wakewatch/machine.reg
    std::string machineOverlay;    // $XDG_CONFIG_HOME/wakewatch/machine.reg
    std::string userAutostart;     // $XDG_CONFIG_HOME/autostart/Wakewatch.desktop
    std::string machineAutostart;  // <first of $XDG_CONFIG_DIRS>/autostart/Wakewatch.desktop

    using GetEnv = std::function<const char*(const char*)>;

    // $XDG_CONFIG_HOME defaults to $HOME/.config and $XDG_CONFIG_DIRS to
    // /etc/xdg; relative paths in them are ignored, as the XDG rules ask.
    static StorePaths FromEnvironment(const GetEnv& getEnv);
    static StorePaths FromEnvironment();
};

}  // namespace ww::platform
