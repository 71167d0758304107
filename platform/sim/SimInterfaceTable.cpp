#include "platform/sim/SimInterfaceTable.h"

namespace ww::platform {

namespace {
constexpr std::uint32_t kNotSupported = 50;  // ERROR_NOT_SUPPORTED
}  // namespace

std::uint32_t SimInterfaceTable::GetIfTable(std::vector<InterfaceOctets>& rows) {
    log_.Add("GetIfTable");
    rows.clear();
    if (notSupported_) {
        return kNotSupported;
    }
    if (failNext_) {
        const std::uint32_t code = *failNext_;
        failNext_.reset();
        return code;
    }
    rows.assign(rows_.begin(), rows_.end());
    return 0;
}

}  // namespace ww::platform
