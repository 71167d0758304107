#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace ww::platform {

// "This run switched the screen saver off": the process id in the value
// "SwitchedOffBy" of a key under HKEY_CURRENT_USER, with the time that process
// started in "SwitchedOffByStarted" (so that a later process given the same
// id does not pass for it), written before the saver
// goes off and cleared once it is back on. Switching it off on the NT family
// writes "off" into the user's profile, so a run that ends without switching
// it on (a crash, Task Manager) would leave it off across logons; the marker
// lets the next run tell.
class Win32SaverMarker {
  public:
    static constexpr const char* kKey = "Software\\Wakewatch\\ScreenSaver";

    explicit Win32SaverMarker(std::string key = kKey) : key_(std::move(key)) {}

    // False when the marker could not be written.
    bool Write();
    void Clear();

    // The process id in a marker whose process has ended; nothing when there
    // is no marker or its process still runs (this one included). A process
    // with that id which started at another time is not the marker's.
    std::optional<std::uint32_t> LeftByEndedRun() const;

  private:
    std::string key_;
};

}  // namespace ww::platform
