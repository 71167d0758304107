#pragma once

#include <string>

#include "platform/linux/trace/Trace.h"
#include "platform/ports/SystemParameters.h"

namespace ww::platform {

// The session's screen saver as the logic is handed it: every start is also
// a "saver start" line in the trace, and every switch a "saver active 0|1"
// line, whichever saver the session has.
class TracingScreenSaver final : public SystemParameters {
  public:
    TracingScreenSaver(SystemParameters& saver, Trace& trace) : saver_(saver), trace_(trace) {}

    void StartScreenSaver() override {
        saver_.StartScreenSaver();
        trace_.Write("saver start");
    }
    bool SaverSwitchPersists() override { return saver_.SaverSwitchPersists(); }
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override {
        if (action == spi::kSetScreenSaveActive) {
            trace_.Write("saver active " + std::to_string(uiParam));
        }
        return saver_.SystemParametersInfoA(action, uiParam, pvParam, fWinIni);
    }

  private:
    SystemParameters& saver_;
    Trace& trace_;
};

}  // namespace ww::platform
