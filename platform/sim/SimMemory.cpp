#include "platform/sim/SimMemory.h"

#include <cstdio>
#include <string>

namespace ww::platform {

SimMemory::SimMemory(SimLog& log) : log_(log) {
    constexpr std::uint64_t kGiB = 1ULL << 30;
    statusEx_.dwLength = sizeof(MemoryStatusEx);
    statusEx_.dwMemoryLoad = 40;
    statusEx_.ullTotalPhys = kGiB;
    statusEx_.ullAvailPhys = kGiB / 2;
    statusEx_.ullTotalPageFile = kGiB;
    statusEx_.ullAvailPageFile = kGiB / 2;
    statusEx_.ullTotalVirtual = 2 * kGiB;
    statusEx_.ullAvailVirtual = kGiB;
    status_.dwLength = sizeof(MemoryStatus);
    status_.dwMemoryLoad = 40;
    status_.dwTotalPhys = static_cast<std::uint32_t>(kGiB);
    status_.dwAvailPhys = static_cast<std::uint32_t>(kGiB / 2);
    status_.dwTotalPageFile = static_cast<std::uint32_t>(kGiB);
    status_.dwAvailPageFile = static_cast<std::uint32_t>(kGiB / 2);
    status_.dwTotalVirtual = static_cast<std::uint32_t>(kGiB);
    status_.dwAvailVirtual = static_cast<std::uint32_t>(kGiB / 2);
}

bool SimMemory::GlobalMemoryStatusEx(MemoryStatusEx& status) {
    log_.Add("GlobalMemoryStatusEx");
    if (statusExFails_) {
        return false;
    }
    const std::uint32_t length = status.dwLength;
    status = statusEx_;
    status.dwLength = length;
    return true;
}

void SimMemory::GlobalMemoryStatus(MemoryStatus& status) {
    log_.Add("GlobalMemoryStatus");
    const std::uint32_t length = status.dwLength;
    status = status_;
    status.dwLength = length;
}

std::uint32_t SimMemory::GetCurrentProcessId() {
    log_.Add("GetCurrentProcessId");
    return processId_;
}

Handle SimMemory::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) {
    char mask[16];
    std::snprintf(mask, sizeof(mask), "0x%X", access);
    log_.Add("OpenProcess(" + std::string(mask) + ", " + (inherit ? "1" : "0") + ", " +
             std::to_string(processId) + ")");
    if (openFails_ || processId != processId_) {
        return 0;
    }
    const Handle handle = ++lastHandle_;
    open_.insert(handle);
    return handle;
}

bool SimMemory::SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                         std::intptr_t maximum) {
    log_.Add("SetProcessWorkingSetSize(" + std::to_string(minimum) + ", " +
             std::to_string(maximum) + ")");
    if (!open_.contains(process)) {
        return false;
    }
    if (minimum == -1 && maximum == -1) {
        ++trims_;
    }
    return true;
}

bool SimMemory::CloseHandle(Handle handle) {
    log_.Add("CloseHandle(" + std::to_string(handle) + ")");
    return open_.erase(handle) == 1;
}

}  // namespace ww::platform
