#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ports/Types.h"

namespace ww::platform {

inline constexpr int kSwShowNormal = 1;
inline constexpr int kVbMinimizedFocus = 2;  // the run-time's "minimised with focus" style

// Starting other programs: the run-time's command-line start and the shell's
// open verb (shell32 ShellExecuteA).
class Shell {
  public:
    virtual ~Shell() = default;

    // Starts `commandLine` with `windowStyle` and returns at once, without
    // waiting for it. False when nothing could be started. A backend without
    // the Windows programs named in the command line starts its own
    // equivalent (e.g. the desktop's screen-saver settings for the display
    // control panel's screen-saver page).
    virtual bool StartCommandLine(std::string_view commandLine, int windowStyle) = 0;

    // ShellExecuteA(owner, verb, file, parameters, directory, showCommand):
    // opens `file` (a URL or a "mailto:" link) with the user's handler. Returns
    // a value above 32 on success, 32 or less (an error number) on failure.
    // Runs synchronously on the calling thread.
    virtual std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                        std::string_view parameters, std::string_view directory,
                                        int showCommand) = 0;
};

}  // namespace ww::platform
