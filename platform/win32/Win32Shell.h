#pragma once

#include "platform/ports/Shell.h"

namespace ww::platform {

// Starting programs (CreateProcessA) and opening links (shell32's
// ShellExecuteA). Texts are UTF-8 here and the ANSI code page in the calls.
class Win32Shell final : public Shell {
  public:
    // The window style is the run-time's, whose numbers are the SW_ show
    // commands (2, minimised with focus, is SW_SHOWMINIMIZED). The program
    // is looked for as CreateProcessA does: the program's folder, the
    // current folder, the system folders, then PATH.
    bool StartCommandLine(std::string_view commandLine, int windowStyle) override;
    // Empty verb, parameters or directory are passed as null.
    std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                std::string_view parameters, std::string_view directory,
                                int showCommand) override;
};

}  // namespace ww::platform
