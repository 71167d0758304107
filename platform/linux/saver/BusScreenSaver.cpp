#include "platform/linux/saver/BusScreenSaver.h"

#include <cstdio>

#include "platform/linux/saver/SessionScreenSaver.h"

namespace ww::platform {

BusScreenSaver::BusScreenSaver(SessionScreenSaver& session) : session_(session) {
    std::fprintf(stderr, "wakewatch: screen saver through org.freedesktop.ScreenSaver%s\n",
                 session_.Available() ? "" : " (not on the session bus now)");
}

bool BusScreenSaver::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                           std::int32_t* pvParam, std::uint32_t) {
    if (action == spi::kGetScreenSaveActive) {
        if (pvParam == nullptr) {
            return false;
        }
        *pvParam = session_.Available() && !session_.Held() ? 1 : 0;
        return true;
    }
    if (action != spi::kSetScreenSaveActive) {
        return false;
    }
    if (uiParam != 0) {
        // Even with the service gone: a hold asked for must not come back with it.
        session_.Release();
        return session_.Available();
    }
    if (!session_.Available()) {
        return false;
    }
    session_.Hold();
    return true;
}

void BusScreenSaver::StartScreenSaver() {
    session_.Activate();
}

void BusScreenSaver::RestoreOnExit() {
    session_.ReleaseNow();
}

}  // namespace ww::platform
