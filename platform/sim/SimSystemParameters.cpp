#include "platform/sim/SimSystemParameters.h"

#include <string>

namespace ww::platform {

bool SimSystemParameters::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                                std::int32_t* pvParam, std::uint32_t fWinIni) {
    Call call{action, uiParam, std::nullopt, fWinIni};
    if (pvParam != nullptr) {
        call.pvParam = *pvParam;
    }
    calls_.push_back(call);
    log_.Add("SystemParametersInfoA(" + std::to_string(action) + ", " + std::to_string(uiParam) +
             ", " + (pvParam ? "&" + std::to_string(*pvParam) : std::string("null")) + ", " +
             std::to_string(fWinIni) + ")");
    if (fails_) {
        return false;
    }
    if (action == spi::kGetScreenSaveActive && pvParam != nullptr) {
        *pvParam = saverActive_;
        return true;
    }
    if (action == spi::kSetScreenSaveActive) {
        saverActive_ = static_cast<std::int32_t>(uiParam);
        return true;
    }
    return false;
}

void SimSystemParameters::StartScreenSaver() {
    log_.Add("StartScreenSaver");
    ++starts_;
}

}  // namespace ww::platform
