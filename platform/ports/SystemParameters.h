#pragma once

#include <cstdint>

namespace ww::platform {

namespace spi {
inline constexpr std::uint32_t kGetScreenSaveActive = 16;
inline constexpr std::uint32_t kSetScreenSaveActive = 17;
inline constexpr std::uint32_t kUpdateIniFile = 1;
inline constexpr std::uint32_t kSendWinIniChange = 2;
}  // namespace spi

// The system's screen saver: its active flag through SystemParametersInfoA
// (user32), and starting it.
class SystemParameters {
  public:
    virtual ~SystemParameters() = default;

    // Starts the screen saver the user has chosen, now. Does not wait and
    // reports nothing: with no saver chosen nothing happens.
    virtual void StartScreenSaver() = 0;

    // True where switching the active flag can be stored for the user and
    // announced to every program (the kUpdateIniFile|kSendWinIniChange form
    // below), so that it outlasts this run; false where a change lives in
    // memory only and the in-memory form is the one to use.
    virtual bool SaverSwitchPersists() = 0;

    // kGetScreenSaveActive: *pvParam becomes 1 when the screen saver is
    // active, 0 when not. kSetScreenSaveActive: uiParam is the new flag (0/1);
    // with fWinIni = kUpdateIniFile|kSendWinIniChange and a pointer to 0 the
    // change is stored persistently and broadcast; with fWinIni = 0 and a null
    // pvParam it is held in memory only. Returns true on success.
    virtual bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                       std::int32_t* pvParam, std::uint32_t fWinIni) = 0;

    // False where nothing can hold the saver off (a desktop with no saver
    // service to ask and no idle inhibitor): switching the active flag off
    // would have no effect there.
    virtual bool CanSwitchScreenSaverOff() { return true; }
};

}  // namespace ww::platform
