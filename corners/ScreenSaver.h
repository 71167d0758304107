#pragma once

#include <cstdint>

#include "platform/ports/SystemParameters.h"

namespace ww::corners {

// Start, query, switch off and on the system's screen saver. Holds no state:
// switching it on again always means "on", whatever it was before.
class ScreenSaver {
  public:
    explicit ScreenSaver(platform::SystemParameters& parameters) : parameters_(parameters) {}

    void StartScreenSaver();
    bool GetScreenSaverActive();
    // False when the system refused: the saver was not switched off.
    bool DisableScreenSaver();
    void EnableScreenSaver();

  private:
    bool SetActive(std::uint32_t flag);

    platform::SystemParameters& parameters_;
};

}  // namespace ww::corners
