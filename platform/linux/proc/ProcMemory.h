#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/linux/proc/ProcFile.h"
#include "platform/ports/Memory.h"

namespace ww::platform {

// Memory status from /proc/meminfo and the nearest thing Linux has to
// trimming a working set.
class ProcMemory final : public Memory {
  public:
    // What OpenProcess gives for our own process, as GetCurrentProcess does on Windows.
    static constexpr Handle kCurrentProcess = 0xFFFF'FFFF;

    explicit ProcMemory(std::string meminfoPath = "/proc/meminfo")
        : meminfo_(std::move(meminfoPath)) {}

    // The committed memory (Committed_AS) as the page-file total with nothing
    // available, so total − available is the committed figure; every other
    // field 0. False, with the fields 0, when it cannot be read.
    bool GlobalMemoryStatusEx(MemoryStatusEx& status) override;
    // The same, each figure truncated to 32 bits.
    void GlobalMemoryStatus(MemoryStatus& status) override;
    std::uint32_t GetCurrentProcessId() override;
    // kCurrentProcess for our own process id, 0 for any other.
    Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) override;
    // For kCurrentProcess with -1, -1: hands the allocator's free memory back
    // to the system (malloc_trim). Pages in use stay resident; nothing else
    // is asked of the kernel. False otherwise.
    bool SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                  std::intptr_t maximum) override;
    // True for kCurrentProcess, which needs no closing.
    bool CloseHandle(Handle handle) override;

  private:
    std::optional<std::uint64_t> CommittedBytes();

    ProcFile meminfo_;
};

}  // namespace ww::platform
