#pragma once

#include <string>
#include <string_view>

#include "platform/ports/Shell.h"

namespace ww::platform {

// The program a command line starts: its first word, or the quoted text it
// begins with.
std::string ProgramName(std::string_view commandLine);

// Starting programs (CreateProcessA) and opening links (shell32's
// ShellExecuteA). Texts are UTF-8 here and the ANSI code page in the calls.
class Win32Shell final : public Shell {
  public:
    // The display control panel at its screen-saver page, minimised with
    // focus.
    bool OpenScreenSaverSettings() override;
    // The display control panel is always there.
    bool CanOpenScreenSaverSettings() override { return true; }
    // Starts `commandLine` shown as `windowStyle` (an SW_ show command),
    // without waiting. A program named without a folder (rundll32.exe) is
    // taken from the system folder alone, by its full path, and runs there;
    // false when it is not there.
    bool StartCommandLine(std::string_view commandLine, int windowStyle);
    // Empty verb, parameters or directory are passed as null.
    std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                std::string_view parameters, std::string_view directory,
                                int showCommand) override;
};

}  // namespace ww::platform
