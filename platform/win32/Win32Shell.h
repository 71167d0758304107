#pragma once

#include "platform/ports/Shell.h"

namespace ww::platform {

// Starting programs (CreateProcessA) and opening links (shell32's
// ShellExecuteA). Texts are UTF-8 here and the ANSI code page in the calls.
class Win32Shell final : public Shell {
  public:
    // The display control panel at its screen-saver page, minimised with
    // focus.
    bool OpenScreenSaverSettings() override;
    // Starts `commandLine` shown as `windowStyle` (an SW_ show command),
    // without waiting. The program is looked for as CreateProcessA does: the
    // program's folder, the current folder, the system folders, then PATH.
    bool StartCommandLine(std::string_view commandLine, int windowStyle);
    // Empty verb, parameters or directory are passed as null.
    std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                std::string_view parameters, std::string_view directory,
                                int showCommand) override;
};

}  // namespace ww::platform
