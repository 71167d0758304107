#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/linux/saver/SaverSettingsTool.h"
#include "platform/linux/trace/Trace.h"
#include "platform/ports/Shell.h"

namespace ww::platform {

// Starting programs and opening links on a freedesktop.org desktop.
//
// The screen-saver settings are the tool of the saver the session runs (see
// SaverSettingsTool.h).
// Links open with xdg-open, which answers whether anything could open them:
//   33  opened (xdg-open succeeded, or was still busy when the wait ended:
//       it runs some browsers in the foreground)
//    2  the link's target does not exist (xdg-open status 2), or there is no
//       xdg-open and no browser Qt knows of
//   31  no application is associated with the link (xdg-open status 3 or 4:
//       the desktop's own opener found none), the opener failed, or the verb
//       is not "open"
class LinuxShell final : public Shell {
  public:
    struct Options {
        std::optional<std::string> searchPath;  // default: PATH
        std::optional<std::string> desktops;    // default: XDG_CURRENT_DESKTOP
        // How the session's saver is started now; unset: the bare X server's.
        std::function<StartWay()> saver;
        std::chrono::milliseconds openWait{1000};
        // Without xdg-open, let Qt find a browser or mail program.
        bool desktopServicesFallback = true;
    };

    explicit LinuxShell(Trace& trace);
    LinuxShell(Trace& trace, Options options);
    ~LinuxShell() override;
    LinuxShell(const LinuxShell&) = delete;
    LinuxShell& operator=(const LinuxShell&) = delete;

    // The started tool places its window itself. While the one started
    // before still runs, no other is started (true: it is open).
    bool OpenScreenSaverSettings() override;
    bool CanOpenScreenSaverSettings() override;
    std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                std::string_view parameters, std::string_view directory,
                                int showCommand) override;

  private:
    std::string SearchPath() const;
    std::optional<ToolCommand> SettingsTool() const;
    std::intptr_t Open(const std::string& file);

    Trace& trace_;
    Options options_;
    int toolPidfd_ = -1;  // the settings tool last started
};

}  // namespace ww::platform
