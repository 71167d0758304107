#pragma once

#include <string>

#include "platform/ports/ProgramInfo.h"
#include "platform/ports/UiRuntime.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Program facts and command line; the program's own title and version, the
// file /opt/wakewatch/wakewatch, no arguments, by default.
class SimApplication : public Application {
  public:
    explicit SimApplication(SimLog& log) : log_(log) {}

    const AppFacts& App() override;
    std::string Command() override;

    // --- control ---
    void SetFacts(AppFacts facts) { facts_ = std::move(facts); }
    void SetCommand(std::string command) { command_ = std::move(command); }

  private:
    SimLog& log_;
    AppFacts facts_{.title = kAppTitle,
                    .path = "/opt/wakewatch",
                    .exeName = "wakewatch",
                    .major = kVersionMajor,
                    .minor = kVersionMinor,
                    .revision = kVersionRevision,
                    .pathSeparator = "/",
                    .exeExtension = ""};
    std::string command_;
};

}  // namespace ww::platform
