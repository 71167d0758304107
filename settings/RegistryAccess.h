#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ports/Registry.h"

namespace ww::settings {

// The registry operations the settings use. Each opens what it needs, does
// one thing, closes what it opened on every path and answers true on success.
class RegistryAccess {
  public:
    explicit RegistryAccess(platform::Registry& registry) : registry_(registry) {}

    // Reads a value as text: REG_SZ as stored (one trailing NUL dropped),
    // REG_DWORD as the decimal text of its signed 32-bit value; any other
    // type leaves `text` as passed. Missing, longer than 1024 bytes or a
    // REG_DWORD wider than 32 bits: `text` becomes "" and the answer is false.
    bool ReadRegString(platform::HKey root, std::string_view key, std::string_view name,
                       std::string& text);

    // Reads a REG_DWORD as a signed 32-bit number. `number` is written only on success.
    bool ReadRegDWORD(platform::HKey root, std::string_view key, std::string_view name,
                      std::int32_t& number);

    // Writes REG_SZ (no terminator; the empty text as one NUL byte),
    // creating the whole key path when missing.
    bool WriteRegString(platform::HKey root, std::string_view key, std::string_view name,
                        std::string_view text);

    bool WriteRegDWORD(platform::HKey root, std::string_view key, std::string_view name,
                       std::int32_t number);

    bool DeleteRegKey(platform::HKey root, std::string_view key);

    bool DeleteRegValue(platform::HKey root, std::string_view key, std::string_view name);

  private:
    platform::Registry& registry_;
};

}  // namespace ww::settings
