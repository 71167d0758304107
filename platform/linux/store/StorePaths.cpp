#include "platform/linux/store/StorePaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace ww::platform {
namespace {

std::string HomeDirectory(const StorePaths::GetEnv& getEnv) {
    const char* home = getEnv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::string FirstAbsolute(std::string_view list) {
    while (!list.empty()) {
        const auto cut = list.find(':');
        const auto entry = list.substr(0, cut);
        if (!entry.empty() && entry.front() == '/') {
            return std::string(entry);
        }
        list = cut == std::string_view::npos ? std::string_view{} : list.substr(cut + 1);
    }
    return {};
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

StorePaths StorePaths::FromEnvironment(const GetEnv& getEnv) {
    const char* configHome = getEnv("XDG_CONFIG_HOME");
    std::string user = configHome != nullptr && configHome[0] == '/'
                           ? WithoutTrailingSlash(configHome)
                           : WithoutTrailingSlash(HomeDirectory(getEnv)) + "/.config";
    const char* configDirs = getEnv("XDG_CONFIG_DIRS");
    std::string machine = FirstAbsolute(configDirs != nullptr ? configDirs : "");
    machine = machine.empty() ? "/etc/xdg" : WithoutTrailingSlash(machine);

    StorePaths paths;
    paths.userFile = user + "/wakewatch/user.reg";
    paths.machineFile = machine + "/wakewatch/machine.reg";
    paths.machineOverlay = user + "/wakewatch/machine.reg";
    paths.userAutostart = user + "/autostart/Wakewatch.desktop";
    paths.machineAutostart = machine + "/autostart/Wakewatch.desktop";
    return paths;
}

StorePaths StorePaths::FromEnvironment() {
    return FromEnvironment([](const char* name) { return std::getenv(name); });
}

}  // namespace ww::platform
