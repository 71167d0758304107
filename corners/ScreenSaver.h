#pragma once

#include "monitors/ComputerIdentity.h"
#include "platform/ports/SystemParameters.h"
#include "platform/ports/WindowMessages.h"

namespace ww::corners {

// Start, query, switch off and on the system's screen saver. Holds no state:
// switching it on again always means "on", whatever it was before.
class ScreenSaver {
  public:
    ScreenSaver(platform::WindowMessages& windows, platform::SystemParameters& parameters,
                const monitors::ComputerIdentity& computer)
        : windows_(windows), parameters_(parameters), computer_(computer) {}

    // The window that receives the start request (the hidden tray form).
    void SetTrayWindow(platform::Hwnd window) { trayWindow_ = window; }

    void StartScreenSaver();
    bool GetScreenSaverActive();
    void DisableScreenSaver();
    void EnableScreenSaver();

  private:
    void SetActive(std::uint32_t flag);

    platform::WindowMessages& windows_;
    platform::SystemParameters& parameters_;
    const monitors::ComputerIdentity& computer_;
    platform::Hwnd trayWindow_ = 0;
};

}  // namespace ww::corners
