#pragma once

#include <cstdint>

#include "platform/ports/Types.h"

namespace ww::platform {

// MEMORYSTATUSEX, 64 bytes.
struct MemoryStatusEx {
    std::uint32_t dwLength = 0;
    std::uint32_t dwMemoryLoad = 0;
    std::uint64_t ullTotalPhys = 0;
    std::uint64_t ullAvailPhys = 0;
    std::uint64_t ullTotalPageFile = 0;
    std::uint64_t ullAvailPageFile = 0;
    std::uint64_t ullTotalVirtual = 0;
    std::uint64_t ullAvailVirtual = 0;
    std::uint64_t ullAvailExtendedVirtual = 0;
};
static_assert(sizeof(MemoryStatusEx) == 64);

// MEMORYSTATUS, 32 bytes.
struct MemoryStatus {
    std::uint32_t dwLength = 0;
    std::uint32_t dwMemoryLoad = 0;
    std::uint32_t dwTotalPhys = 0;
    std::uint32_t dwAvailPhys = 0;
    std::uint32_t dwTotalPageFile = 0;
    std::uint32_t dwAvailPageFile = 0;
    std::uint32_t dwTotalVirtual = 0;
    std::uint32_t dwAvailVirtual = 0;
};
static_assert(sizeof(MemoryStatus) == 32);

inline constexpr std::uint32_t kProcessAllAccess = 0x1F0FFF;

// Memory status and the process working set (kernel32).
class Memory {
  public:
    virtual ~Memory() = default;

    // GlobalMemoryStatusEx: the caller sets dwLength = 64. The committed
    // memory is ullTotalPageFile − ullAvailPageFile (bytes). True on success.
    virtual bool GlobalMemoryStatusEx(MemoryStatusEx& status) = 0;

    // GlobalMemoryStatus: the caller sets dwLength = 32. No result.
    virtual void GlobalMemoryStatus(MemoryStatus& status) = 0;

    virtual std::uint32_t GetCurrentProcessId() = 0;

    // OpenProcess: a handle to the process, 0 on failure.
    virtual Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) = 0;

    // SetProcessWorkingSetSize with -1, -1: give back as much resident memory
    // as the system can take. True on success.
    virtual bool SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                          std::intptr_t maximum) = 0;

    virtual bool CloseHandle(Handle handle) = 0;
};

}  // namespace ww::platform
