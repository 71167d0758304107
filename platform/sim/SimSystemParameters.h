#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ports/SystemParameters.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The screen saver: its active flag, its start requests and whether its
// switch persists.
class SimSystemParameters : public SystemParameters {
  public:
    struct Call {
        std::uint32_t action = 0;
        std::uint32_t uiParam = 0;
        std::optional<std::int32_t> pvParam;  // the pointed-at value on entry; nullopt for null
        std::uint32_t fWinIni = 0;
    };

    explicit SimSystemParameters(SimLog& log) : log_(log) {}

    // GET writes the flag through pvParam; SET stores uiParam as the flag.
    // Other actions, and every call while failing, return false and change nothing.
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;
    // Logged as "StartScreenSaver" and counted.
    void StartScreenSaver() override;
    // An NT-family machine's answer (true) unless told otherwise.
    bool SaverSwitchPersists() override { return persists_; }

    // --- control ---
    void SetSaverActive(std::int32_t value) { saverActive_ = value; }
    std::int32_t SaverActive() const { return saverActive_; }
    void SetFails(bool fails) { fails_ = fails; }
    void SetCanSwitchOff(bool can) { canSwitchOff_ = can; }
    bool CanSwitchScreenSaverOff() override { return canSwitchOff_; }
    const std::vector<Call>& Calls() const { return calls_; }
    int ScreenSaverStarts() const { return starts_; }
    void SetSwitchPersists(bool persists) { persists_ = persists; }

  private:
    SimLog& log_;
    std::int32_t saverActive_ = 1;
    bool fails_ = false;
    bool canSwitchOff_ = true;
    std::vector<Call> calls_;
    int starts_ = 0;
    bool persists_ = true;
};

}  // namespace ww::platform
