#pragma once

#include <cstddef>
#include <set>

#include "platform/ports/Registry.h"

namespace ww::platform {

// The registry through advapi32. Key paths, value names and the data of text
// values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-8 here and the system's
// ANSI code page in the calls; sizes are those of the UTF-8 data. Keys are
// opened with the most access the user has, as RegOpenKeyA and RegCreateKeyA do.
// Text data is stored ending in a NUL, which is added when the data lacks
// one: the NT family's RegSetValueExA does the same whenever a NUL follows
// the data in memory, as one follows every text the logic writes. Such a
// text is one byte longer in the registry than the size passed.
class Win32Registry final : public Registry {
  public:
    std::int32_t RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataSize) override;
    std::int32_t RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t RegDeleteKeyA(HKey key, std::string_view subKey) override;
    std::int32_t RegDeleteValueA(HKey key, std::string_view name) override;
    std::int32_t RegCloseKey(HKey key) override;

    // Keys opened through this object and not yet closed.
    std::size_t OpenKeyCount() const { return open_.size(); }

  private:
    std::set<HKey> open_;
};

}  // namespace ww::platform
