#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/StoreFiles.h"
#include "platform/linux/StorePaths.h"
#include "platform/ports/Registry.h"

namespace ww::platform {

// The registry kept in files anyone can read and edit (the editor's export
// format, see RegText.h):
//   HKEY_CURRENT_USER   the user's user.reg;
//   HKEY_LOCAL_MACHINE  the system's machine.reg, seen through the user's
//                       own machine.reg, which reads consult first and which
//                       takes the writes the system file refuses for lack of
//                       rights, so an ordinary user's choices persist;
//   the Run value "Wakewatch" of either root: the XDG autostart entry of the
//                       user or of the system (no overlay: starting for all
//                       users needs the rights to write there).
// The Run key and the keys above it always exist, as they do on Windows.
// Every write replaces its file whole under a lock and keeps all else in it;
// a file that cannot be parsed is never written, reads from it fail with
// kInvalidData, and the diagnostics stream is told once which file and line.
class LinuxRegistry : public Registry {
  public:
    explicit LinuxRegistry(const StorePaths& paths);
    LinuxRegistry(const StorePaths& paths, std::ostream& diagnostics);

    std::int32_t RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataSize) override;
    std::int32_t RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t RegDeleteKeyA(HKey key, std::string_view subKey) override;
    std::int32_t RegDeleteValueA(HKey key, std::string_view name) override;
    std::int32_t RegCloseKey(HKey key) override;

    // Keys opened and not yet closed.
    std::size_t OpenKeyCount() const { return handles_.size(); }

  private:
    struct Opened {
        HKey root = 0;
        std::string path;  // normalized, below the root
    };
    using Change = std::function<std::int32_t(RegDocument&)>;

    // The root and path that `key` + `subKey` name; false for a bad handle.
    bool Resolve(HKey key, std::string_view subKey, Opened& target) const;
    // The documents a read of `root` consults, in order (overlay first).
    std::int32_t LoadView(HKey root, std::vector<RegDocument>& view) const;
    // The autostart file that holds `name` under `key`, or null.
    AutostartFile* RunValue(const Opened& key, std::string_view name);
    std::int32_t WriteUser(const Change& change) { return userFile_.Update(change); }
    // Into the overlay when `overlayFirst`, else into the system file and,
    // when it is refused, into the overlay.
    std::int32_t WriteMachine(const Change& change, bool overlayFirst);
    HKey NewHandle(Opened target);

    ParseReporter reporter_;
    RegFile userFile_;
    RegFile machineFile_;
    RegFile machineOverlay_;
    AutostartFile userRun_;
    AutostartFile machineRun_;
    std::map<HKey, Opened> handles_;
    HKey lastHandle_ = 0x1000;
};

}  // namespace ww::platform
