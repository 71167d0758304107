#include "platform/sim/SimShell.h"

namespace ww::platform {

bool SimShell::OpenScreenSaverSettings() {
    log_.Add("OpenScreenSaverSettings()");
    if (openSettingsFails_) {
        return false;
    }
    ++settingsOpened_;
    return true;
}

std::intptr_t SimShell::ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                      std::string_view parameters, std::string_view directory,
                                      int showCommand) {
    log_.Add("ShellExecuteA(" + std::to_string(owner) + ", " + std::string(verb) + ", " +
             SimLog::Quote(file) + ", " + SimLog::Quote(parameters) + ", " +
             SimLog::Quote(directory) + ", " + std::to_string(showCommand) + ")");
    executed_.push_back({owner, std::string(verb), std::string(file), std::string(parameters),
                         std::string(directory), showCommand});
    return executeResult_;
}

}  // namespace ww::platform
