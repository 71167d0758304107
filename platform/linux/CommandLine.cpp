#include "platform/linux/CommandLine.h"

namespace ww::platform {

InformationOption FindInformationOption(const std::vector<std::string>& arguments) {
    for (const auto& argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "--help") {
            return InformationOption::kHelp;
        }
        if (argument == "--version") {
            return InformationOption::kVersion;
        }
    }
    return InformationOption::kNone;
}

std::string HelpText(const AppFacts& app) {
    return "Usage: " + app.exeName +
           " [-POPUP]\n"
           "Shows in the system tray how long this computer has been running.\n"
           "\n"
           "  -POPUP     open the main window at start (in any letter case)\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n"
           "\n"
           "Settings: $XDG_CONFIG_HOME/wakewatch/user.reg (default ~/.config) and\n"
           "<first of $XDG_CONFIG_DIRS>/wakewatch/machine.reg (default /etc/xdg).\n"
           "Only one instance runs per user. More in the manual: man wakewatch\n";
}

std::string VersionText(const AppFacts& app) {
    return app.title + " " + std::to_string(app.major) + "." + std::to_string(app.minor) + "." +
           std::to_string(app.revision) +
           "\n"
           "Copyright (c) 2001-2026 the Wakewatch authors.\n"
           "License: MIT. This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace ww::platform
