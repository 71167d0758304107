#include "settings/RegistryAccess.h"

#include <array>
#include <optional>

namespace ww::settings {
namespace {

// Anything longer than this cannot be read: the query fails.
constexpr std::uint32_t kReadBufferSize = 1024;

struct RawValue {
    std::uint32_t type = platform::regtype::kNone;
    std::string data;  // the stored bytes, one trailing NUL already dropped
};

// Queries `name` under the open `key` through a 1024-byte buffer.
std::optional<RawValue> QueryValue(platform::Registry& registry, platform::HKey key,
                                   std::string_view name) {
    std::array<std::uint8_t, kReadBufferSize> buffer{};
    std::uint32_t size = kReadBufferSize;
    RawValue raw;
    if (registry.RegQueryValueExA(key, name, &raw.type, buffer.data(), &size) !=
            platform::winerr::kSuccess ||
        size > kReadBufferSize) {
        return std::nullopt;
    }
    raw.data.assign(buffer.begin(), buffer.begin() + size);
    if (!raw.data.empty() && raw.data.back() == '\0') {
        raw.data.pop_back();
    }
    return raw;
}

// "&h" and the data bytes from the last to the first, two upper-case digits each.
std::string HexText(std::string_view data) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex = "&h";
    for (auto it = data.rbegin(); it != data.rend(); ++it) {
        const auto byte = static_cast<std::uint8_t>(*it);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

// The number an "&h" text stands for, taken as a 32-bit two's-complement
// value so that any number WriteRegDWORD stores reads back unchanged. No
// digits at all is 0; more than eight significant digits is not a number.
std::optional<std::int32_t> HexToNumber(std::string_view hex) {
    hex.remove_prefix(2);
    std::uint32_t value = 0;
    int significant = 0;
    for (const char digit : hex) {
        const auto nibble =
            static_cast<std::uint32_t>(digit <= '9' ? digit - '0' : digit - 'A' + 10);
        if (value != 0 || nibble != 0) {
            ++significant;
        }
        if (significant > 8) {
            return std::nullopt;
        }
        value = (value << 4) | nibble;
    }
    return static_cast<std::int32_t>(value);
}

// Closes `key_` when the operation leaves, whichever way it leaves.
class OpenedKey {
  public:
    explicit OpenedKey(platform::Registry& registry) : registry_(registry) {}
    ~OpenedKey() {
        if (open_) {
            registry_.RegCloseKey(key_);
        }
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    bool Open(platform::HKey root, std::string_view path) {
        open_ = registry_.RegOpenKeyA(root, path, key_) == platform::winerr::kSuccess;
        return open_;
    }
    bool Create(platform::HKey root, std::string_view path) {
        open_ = registry_.RegCreateKeyA(root, path, key_) == platform::winerr::kSuccess;
        return open_;
    }
    platform::HKey get() const { return key_; }

  private:
    platform::Registry& registry_;
    platform::HKey key_ = 0;
    bool open_ = false;
};

}  // namespace

bool RegistryAccess::ReadRegString(platform::HKey root, std::string_view key, std::string_view name,
                                   std::string& text) {
    OpenedKey opened(registry_);
    if (!opened.Open(root, key)) {
        text.clear();
        return false;
    }
    const auto raw = QueryValue(registry_, opened.get(), name);
    if (!raw) {
        text.clear();
        return false;
    }
    if (raw->type == platform::regtype::kSz) {
        text = raw->data;
    } else if (raw->type == platform::regtype::kDword) {
        const auto number = HexToNumber(HexText(raw->data));
        if (!number) {
            text.clear();
            return false;
        }
        text = std::to_string(*number);
    }
    // Any other type leaves the caller's text as it was.
    return true;
}

bool RegistryAccess::ReadRegDWORD(platform::HKey root, std::string_view key, std::string_view name,
                                  std::int32_t& number) {
    OpenedKey opened(registry_);
    if (!opened.Open(root, key)) {
        return false;
    }
    const auto raw = QueryValue(registry_, opened.get(), name);
    if (!raw || raw->type != platform::regtype::kDword) {
        return false;
    }
    const auto value = HexToNumber(HexText(raw->data));
    if (!value) {
        return false;
    }
    number = *value;
    return true;
}

bool RegistryAccess::WriteRegString(platform::HKey root, std::string_view key,
                                    std::string_view name, std::string_view text) {
    OpenedKey opened(registry_);
    if (!opened.Create(root, key)) {
        return false;
    }
    // Text crosses the port as UTF-8 already; the empty text is kept as one NUL.
    const std::string data = text.empty() ? std::string(1, '\0') : std::string(text);
    return registry_.RegSetValueExA(opened.get(), name, platform::regtype::kSz,
                                    reinterpret_cast<const std::uint8_t*>(data.data()),
                                    static_cast<std::uint32_t>(data.size())) ==
           platform::winerr::kSuccess;
}

bool RegistryAccess::WriteRegDWORD(platform::HKey root, std::string_view key, std::string_view name,
                                   std::int32_t number) {
    OpenedKey opened(registry_);
    if (!opened.Create(root, key)) {
        return false;
    }
    const auto bits = static_cast<std::uint32_t>(number);
    const std::array<std::uint8_t, 4> data = {
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    return registry_.RegSetValueExA(opened.get(), name, platform::regtype::kDword, data.data(),
                                    static_cast<std::uint32_t>(data.size())) ==
           platform::winerr::kSuccess;
}

bool RegistryAccess::DeleteRegKey(platform::HKey root, std::string_view key) {
    return registry_.RegDeleteKeyA(root, key) == platform::winerr::kSuccess;
}

bool RegistryAccess::DeleteRegValue(platform::HKey root, std::string_view key,
                                    std::string_view name) {
    OpenedKey opened(registry_);
    if (!opened.Open(root, key)) {
        return false;
    }
    return registry_.RegDeleteValueA(opened.get(), name) == platform::winerr::kSuccess;
}

}  // namespace ww::settings
