#pragma once

#include <cstdint>

#include "platform/linux/saver/DesktopScreenSaver.h"

namespace ww::platform {

class SessionScreenSaver;

// The screen saver of a session with no X server to ask: only the session's
// org.freedesktop.ScreenSaver service. While the service is missing the flag
// reads as off and setting it is refused.
class BusScreenSaver : public DesktopScreenSaver {
  public:
    // `session` must outlive this object. Says on stderr which mechanism is in use.
    explicit BusScreenSaver(SessionScreenSaver& session);

    // kGetScreenSaveActive: *pvParam = 1 while the service is there and this
    // program does not hold it off, else 0. kSetScreenSaveActive: uiParam 0
    // takes the hold (Inhibit), 1 releases it; false when the service is
    // missing. fWinIni is ignored. False for other actions.
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;

    // SetActive(true) on the service, when it is there.
    void StartScreenSaver() override;

    // Releases the hold and waits (briefly) for the service to have it.
    void RestoreOnExit() override;

  private:
    SessionScreenSaver& session_;
};

}  // namespace ww::platform
