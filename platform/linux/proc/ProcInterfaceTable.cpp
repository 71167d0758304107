#include "platform/linux/proc/ProcInterfaceTable.h"

#include "platform/formats/ProcNetDev.h"

namespace ww::platform {

namespace {
constexpr std::uint32_t kGenFailure = 31;    // ERROR_GEN_FAILURE
constexpr std::uint32_t kNotSupported = 50;  // ERROR_NOT_SUPPORTED
}  // namespace

std::uint32_t ProcInterfaceTable::GetIfTable(std::vector<InterfaceOctets>& rows) {
    rows.clear();
    switch (file_.Read()) {
        case ProcFile::Status::Ok:
            ParseProcNetDev(file_.Text(), rows);
            return 0;
        case ProcFile::Status::Missing:
            return kNotSupported;
        case ProcFile::Status::Failed:
            break;
    }
    return kGenFailure;
}

}  // namespace ww::platform
