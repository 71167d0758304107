#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/UiRuntime.h"

namespace ww::platform {

// The argument text as the run-time hands it over: the arguments after the
// program name, joined by single blanks, each as it reached argv.
std::string JoinArguments(const std::vector<std::string>& arguments);

// Title, folder, name without extension and version for the program file at `exePath`.
AppFacts MakeAppFacts(std::string_view exePath);

// The path of the running program file (/proc/self/exe), "" when unknown.
std::string CurrentExecutablePath();

class LinuxApplication final : public Application {
  public:
    // `arguments` are argv[1..], taken before Qt removes its own options.
    LinuxApplication(std::vector<std::string> arguments, std::string_view exePath);

    const AppFacts& App() override;
    std::string Command() override;

  private:
    AppFacts facts_;
    std::string command_;
};

}  // namespace ww::platform
