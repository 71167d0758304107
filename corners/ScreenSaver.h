#pragma once

#include "core/SharedState.h"
#include "platform/ports/SystemParameters.h"
#include "platform/ports/WindowMessages.h"

namespace ww::corners {

// Start, query, switch off and on the system's screen saver. Holds no state:
// switching it on again always means "on", whatever it was before.
class ScreenSaver {
  public:
    ScreenSaver(platform::WindowMessages& windows, platform::SystemParameters& parameters,
                const core::SharedState& shared)
        : windows_(windows), parameters_(parameters), shared_(shared) {}

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
    const core::SharedState& shared_;
    platform::Hwnd trayWindow_ = 0;
};

}  // namespace ww::corners
