#include "platform/linux/proc/ProcMemory.h"

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/formats/ProcMeminfo.h"

namespace ww::platform {

std::optional<std::uint64_t> ProcMemory::CommittedBytes() {
    if (meminfo_.Read() != ProcFile::Status::Ok) {
        return std::nullopt;
    }
    return ParseCommittedAs(meminfo_.Text());
}

bool ProcMemory::GlobalMemoryStatusEx(MemoryStatusEx& status) {
    const std::uint32_t length = status.dwLength;
    status = MemoryStatusEx{};
    status.dwLength = length;
    const std::optional<std::uint64_t> committed = CommittedBytes();
    if (!committed) {
        return false;
    }
    status.ullTotalPageFile = *committed;
    return true;
}

void ProcMemory::GlobalMemoryStatus(MemoryStatus& status) {
    const std::uint32_t length = status.dwLength;
    status = MemoryStatus{};
    status.dwLength = length;
    status.dwTotalPageFile = static_cast<std::uint32_t>(CommittedBytes().value_or(0));
}

std::uint32_t ProcMemory::GetCurrentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

Handle ProcMemory::OpenProcess(std::uint32_t, bool, std::uint32_t processId) {
    return processId == GetCurrentProcessId() ? kCurrentProcess : 0;
}

bool ProcMemory::SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                          std::intptr_t maximum) {
    if (process != kCurrentProcess || minimum != -1 || maximum != -1) {
        return false;
    }
#if defined(__GLIBC__)
    ::malloc_trim(0);
    return true;
#else
    return false;  // no allocator hook to ask
#endif
}

bool ProcMemory::CloseHandle(Handle handle) {
    return handle == kCurrentProcess;
}

}  // namespace ww::platform
