#include "platform/win32/Win32Registry.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/SystemCodePage.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

bool IsText(std::uint32_t type) {
    return type == regtype::kSz || type == regtype::kExpandSz || type == regtype::kMultiSz;
}

std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Reads the whole value as stored, growing the buffer while it changes under us.
LONG ReadWhole(HKEY key, const char* name, DWORD& type, std::vector<std::uint8_t>& bytes) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = static_cast<DWORD>(bytes.size());
        const LONG result = ::RegQueryValueExA(key, name, nullptr, &type,
                                               bytes.empty() ? nullptr : bytes.data(), &size);
        if (result == ERROR_SUCCESS && !bytes.empty()) {
            bytes.resize(size);
            return result;
        }
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) {
            return result;
        }
        bytes.resize(size == 0 ? 1 : size);
    }
    return ERROR_MORE_DATA;
}

// Answers a query from data already in the port's form.
std::int32_t Deliver(std::string_view value, std::uint8_t* data, std::uint32_t* dataSize) {
    const auto length = static_cast<std::uint32_t>(value.size());
    if (data != nullptr && *dataSize < length) {
        *dataSize = length;
        return winerr::kMoreData;
    }
    if (data != nullptr && length > 0) {
        std::memcpy(data, value.data(), length);
    }
    *dataSize = length;
    return winerr::kSuccess;
}

}  // namespace

std::int32_t Win32Registry::RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) {
    HKEY opened = nullptr;
    const LONG error = ::RegOpenKeyExA(ToWin<HKEY>(key), ToSystemCodePage(subKey).c_str(), 0,
                                       MAXIMUM_ALLOWED, &opened);
    if (error == ERROR_SUCCESS) {
        result = FromWin(opened);
        open_.insert(result);
    }
    return error;
}

std::int32_t Win32Registry::RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) {
    HKEY opened = nullptr;
    const LONG error =
        ::RegCreateKeyExA(ToWin<HKEY>(key), ToSystemCodePage(subKey).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr, &opened, nullptr);
    if (error == ERROR_SUCCESS) {
        result = FromWin(opened);
        open_.insert(result);
    }
    return error;
}

std::int32_t Win32Registry::RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                             std::uint8_t* data, std::uint32_t* dataSize) {
    if (data != nullptr && dataSize == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::string ansiName = ToSystemCodePage(name);
    DWORD storedType = REG_NONE;
    DWORD size = dataSize == nullptr ? 0 : *dataSize;
    LONG error = ::RegQueryValueExA(ToWin<HKEY>(key), ansiName.c_str(), nullptr, &storedType, data,
                                    dataSize == nullptr ? nullptr : &size);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) {
        return error;
    }
    if (type != nullptr) {
        *type = storedType;
    }
    if (dataSize == nullptr) {
        return error;
    }
    // Plain ASCII text and every other type are the same bytes in both forms.
    if (!IsText(storedType) ||
        (error == ERROR_SUCCESS && data != nullptr && IsAscii(Bytes(data, size)))) {
        *dataSize = size;
        return error;
    }
    std::vector<std::uint8_t> stored;
    if (error == ERROR_SUCCESS && data != nullptr) {
        stored.assign(data, data + size);
    } else if ((error = ReadWhole(ToWin<HKEY>(key), ansiName.c_str(), storedType, stored)) !=
               ERROR_SUCCESS) {
        return error;
    }
    return Deliver(FromSystemCodePage(Bytes(stored.data(), stored.size())), data, dataSize);
}

std::int32_t Win32Registry::RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t size) {
    std::string text;
    if (IsText(type) && data != nullptr && size > 0) {
        text = ToSystemCodePage(Bytes(data, size));
        if (text.back() != '\0') {
            text.push_back('\0');
        }
        data = reinterpret_cast<const std::uint8_t*>(text.data());
        size = static_cast<std::uint32_t>(text.size());
    }
    return ::RegSetValueExA(ToWin<HKEY>(key), ToSystemCodePage(name).c_str(), 0, type, data, size);
}

std::int32_t Win32Registry::RegDeleteKeyA(HKey key, std::string_view subKey) {
    return ::RegDeleteKeyA(ToWin<HKEY>(key), ToSystemCodePage(subKey).c_str());
}

std::int32_t Win32Registry::RegDeleteValueA(HKey key, std::string_view name) {
    return ::RegDeleteValueA(ToWin<HKEY>(key), ToSystemCodePage(name).c_str());
}

std::int32_t Win32Registry::RegCloseKey(HKey key) {
    open_.erase(key);
    return ::RegCloseKey(ToWin<HKEY>(key));
}

}  // namespace ww::platform
