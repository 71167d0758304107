#include "platform/sim/SimShell.h"

namespace ww::platform {

bool SimShell::StartCommandLine(std::string_view commandLine, int windowStyle) {
    log_.Add("StartCommandLine(" + SimLog::Quote(commandLine) + ", " + std::to_string(windowStyle) +
             ")");
    if (startFails_) {
        return false;
    }
    started_.push_back({std::string(commandLine), windowStyle});
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
