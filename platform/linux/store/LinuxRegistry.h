#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/common/DocumentRegistry.h"
#include "platform/linux/store/StoreFiles.h"
#include "platform/linux/store/StorePaths.h"

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
class LinuxRegistry final : public DocumentRegistry {
  public:
    explicit LinuxRegistry(const StorePaths& paths);
    LinuxRegistry(const StorePaths& paths, std::ostream& diagnostics);

    // The Run value goes to the autostart entry; all else to the documents.
    std::int32_t RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataSize) override;
    std::int32_t RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t RegDeleteValueA(HKey key, std::string_view name) override;

  protected:
    // HKEY_LOCAL_MACHINE's view is the overlay, then the system file.
    std::int32_t Load(HKey root, RegView& view) override;
    std::int32_t Write(HKey root, const RegView& view, const RegEdit& edit) override;

  private:
    using Change = std::function<std::int32_t(RegDocument&)>;

    // The autostart file that holds `name` under `key`, or null.
    AutostartFile* RunValue(HKey key, std::string_view name);
    // Into the overlay when `overlayFirst`, else into the system file and,
    // when it is refused, into the overlay.
    std::int32_t WriteMachine(const Change& change, bool overlayFirst);

    ParseReporter reporter_;
    RegFile userFile_;
    RegFile machineFile_;
    RegFile machineOverlay_;
    AutostartFile userRun_;
    AutostartFile machineRun_;
    std::vector<RegDocument> loaded_;  // what the last Load's view points into
};

}  // namespace ww::platform
