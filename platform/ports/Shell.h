#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ports/Types.h"

namespace ww::platform {

inline constexpr int kSwShowNormal = 1;

// Starting other programs: the system's screen-saver settings and the shell's
// open verb (shell32 ShellExecuteA).
class Shell {
  public:
    virtual ~Shell() = default;

    // Starts the system's own screen-saver settings (on Windows the display
    // control panel at its screen-saver page, minimised with focus) and
    // returns at once, without waiting for it. False when nothing could be
    // started.
    virtual bool OpenScreenSaverSettings() = 0;
    // Whether the screen saver in use has settings to open: false where the
    // session runs a saver without any (an idle daemon of a Wayland
    // compositor), so the menu can grey its entry.
    virtual bool CanOpenScreenSaverSettings() = 0;

    // ShellExecuteA(owner, verb, file, parameters, directory, showCommand):
    // opens `file` (a URL or a "mailto:" link) with the user's handler. Returns
    // a value above 32 on success, 32 or less (an error number) on failure.
    // Runs synchronously on the calling thread.
    virtual std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                        std::string_view parameters, std::string_view directory,
                                        int showCommand) = 0;
};

}  // namespace ww::platform
