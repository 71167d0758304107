#pragma once

#include <cstdint>
#include <string_view>

namespace ww::platform {

using HKey = std::uint32_t;

inline constexpr HKey kHkeyCurrentUser = 0x80000001;
inline constexpr HKey kHkeyLocalMachine = 0x80000002;

namespace regtype {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiSz = 7;
}  // namespace regtype

namespace winerr {
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kAccessDenied = 5;
inline constexpr std::int32_t kInvalidHandle = 6;
inline constexpr std::int32_t kInvalidData = 13;  // the store behind the key cannot be parsed
inline constexpr std::int32_t kNotSupported = 50;
inline constexpr std::int32_t kMoreData = 234;
// The handle's key was deleted after it was opened.
inline constexpr std::int32_t kKeyDeleted = 1018;
}  // namespace winerr

// The registry (advapi32). Every call returns a Windows error code, 0 on
// success. Key paths are relative to the key given, components separated by
// "\"; names and text are UTF-8. Opened keys must be closed with RegCloseKey.
class Registry {
  public:
    virtual ~Registry() = default;

    // RegOpenKeyA: opens an existing key; kFileNotFound when it does not exist.
    virtual std::int32_t RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) = 0;

    // RegCreateKeyA: opens the key, creating every missing component of the path.
    virtual std::int32_t RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) = 0;

    // RegQueryValueExA: on entry *dataSize is the buffer size in bytes. On
    // success *type and *dataSize (the data length) are set and the data is
    // copied. kFileNotFound when the value does not exist; kMoreData (with
    // *dataSize set to the length needed) when the data does not fit.
    virtual std::int32_t RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* dataSize) = 0;

    // RegSetValueExA: stores `size` bytes of `data` with `type`, replacing any value of that name.
    virtual std::int32_t RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                        const std::uint8_t* data, std::uint32_t size) = 0;

    // RegDeleteKeyA: deletes the key at the end of `subKey` with its values;
    // refused (kAccessDenied) while it still has subkeys, as the NT family does.
    virtual std::int32_t RegDeleteKeyA(HKey key, std::string_view subKey) = 0;

    // RegDeleteValueA: kFileNotFound when the value does not exist.
    virtual std::int32_t RegDeleteValueA(HKey key, std::string_view name) = 0;

    // RegCloseKey: releases a key from RegOpenKeyA / RegCreateKeyA.
    virtual std::int32_t RegCloseKey(HKey key) = 0;
};

}  // namespace ww::platform
