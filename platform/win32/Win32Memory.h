#pragma once

#include "platform/ports/Memory.h"

namespace ww::platform {

// Memory status and the working set, from kernel32. GlobalMemoryStatusEx
// (Windows 2000 on) and SetProcessWorkingSetSize (the NT family) are looked
// up at run time; where they are missing their calls answer false.
class Win32Memory final : public Memory {
  public:
    // False also when the record's dwLength is not 64.
    bool GlobalMemoryStatusEx(MemoryStatusEx& status) override;
    void GlobalMemoryStatus(MemoryStatus& status) override;
    std::uint32_t GetCurrentProcessId() override;
    Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) override;
    bool SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                  std::intptr_t maximum) override;
    bool CloseHandle(Handle handle) override;
};

}  // namespace ww::platform
