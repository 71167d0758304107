#pragma once

#include <string>
#include <string_view>

#include "platform/ports/UiRuntime.h"

namespace ww::platform {

// The argument text of a command line: what follows the program name
// (quoted or not) and the blanks after it, as typed.
std::string ArgumentText(std::string_view commandLine);

// Title, folder, name without extension and version for the program file at
// `modulePath`. The folder has no trailing backslash, except a drive's root.
AppFacts MakeWin32AppFacts(std::string_view modulePath);

class Win32Application final : public Application {
  public:
    Win32Application();  // GetCommandLineA and GetModuleFileNameA of this process
    Win32Application(std::string_view commandLine, std::string_view modulePath);

    const AppFacts& App() override;
    std::string Command() override;

  private:
    AppFacts facts_;
    std::string command_;
};

}  // namespace ww::platform
