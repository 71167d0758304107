#include "platform/win32/Win32InterfaceTable.h"

#include <span>

#include "platform/formats/MibIfTable.h"
#include "platform/win32/SystemFolder.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

constexpr std::uint32_t kNotSupported = ERROR_NOT_SUPPORTED;
// The table may grow between the size query and the read; a few rounds suffice.
constexpr int kAttempts = 4;

}  // namespace

Win32InterfaceTable::~Win32InterfaceTable() {
    if (library_ != nullptr) {
        ::FreeLibrary(static_cast<HMODULE>(library_));
    }
}

std::uint32_t Win32InterfaceTable::GetIfTable(std::vector<InterfaceOctets>& rows) {
    rows.clear();
    if (!loaded_) {
        loaded_ = true;
        HMODULE library = LoadSystemLibrary("iphlpapi.dll");
        library_ = library;
        getIfTable_ = LookUp<GetIfTableFn>(library, "GetIfTable");
    }
    if (getIfTable_ == nullptr) {
        return kNotSupported;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        unsigned long size = static_cast<unsigned long>(buffer_.size());
        const unsigned long result =
            getIfTable_(buffer_.empty() ? nullptr : buffer_.data(), &size, FALSE);
        if (result == ERROR_INSUFFICIENT_BUFFER && size > buffer_.size()) {
            buffer_.resize(size);
            continue;
        }
        if (result == NO_ERROR && !buffer_.empty()) {
            ReadMibIfTable(std::span<const std::uint8_t>(buffer_), rows);
        }
        return static_cast<std::uint32_t>(result);
    }
    return ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace ww::platform
