#include "settings/RegStuff.h"

// Placeholder bodies until the registry layer lands: every operation fails,
// so start-up sees the defaults (hot corners off, no automatic start).
namespace ww::settings {

bool RegStuff::ReadRegString(platform::HKey, std::string_view, std::string_view, std::string& text) {
    text.clear();
    return false;
}
bool RegStuff::ReadRegDWORD(platform::HKey, std::string_view, std::string_view, std::int32_t&) {
    return false;
}
bool RegStuff::WriteRegString(platform::HKey, std::string_view, std::string_view,
                              std::string_view) {
    return false;
}
bool RegStuff::WriteRegDWORD(platform::HKey, std::string_view, std::string_view, std::int32_t) {
    return false;
}
bool RegStuff::DeleteRegKey(platform::HKey, std::string_view) { return false; }
bool RegStuff::DeleteRegValue(platform::HKey, std::string_view, std::string_view) { return false; }

}  // namespace ww::settings
