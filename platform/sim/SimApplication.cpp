#include "platform/sim/SimApplication.h"

namespace ww::platform {

const AppFacts& SimApplication::App() {
    log_.Add("App");
    return facts_;
}

std::string SimApplication::Command() {
    log_.Add("Command");
    return command_;
}

}  // namespace ww::platform
