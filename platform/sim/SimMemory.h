#pragma once

#include <set>

#include "platform/ports/Memory.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Memory status and the process handle. By default 1 GiB of page file with
// half of it available (512 MiB committed) in both records, process id 4242.
class SimMemory : public Memory {
  public:
    explicit SimMemory(SimLog& log);

    // Fill the record, keeping the caller's dwLength; the Ex form fails when told to.
    bool GlobalMemoryStatusEx(MemoryStatusEx& status) override;
    void GlobalMemoryStatus(MemoryStatus& status) override;
    std::uint32_t GetCurrentProcessId() override;
    // A handle only for this process's id, while opening does not fail.
    Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) override;
    // Counts a trim for an open handle with -1, -1.
    bool SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                  std::intptr_t maximum) override;
    bool CloseHandle(Handle handle) override;

    // --- control ---
    void SetStatusEx(const MemoryStatusEx& status) { statusEx_ = status; }
    void SetStatus(const MemoryStatus& status) { status_ = status; }
    void SetStatusExFails(bool fails) { statusExFails_ = fails; }
    void SetOpenProcessFails(bool fails) { openFails_ = fails; }
    void SetProcessId(std::uint32_t id) { processId_ = id; }
    int TrimCount() const { return trims_; }
    // Process handles opened and not closed.
    std::size_t OpenHandleCount() const { return open_.size(); }

  private:
    SimLog& log_;
    MemoryStatusEx statusEx_;
    MemoryStatus status_;
    bool statusExFails_ = false;
    bool openFails_ = false;
    std::uint32_t processId_ = 4242;
    std::set<Handle> open_;
    Handle lastHandle_ = 0x800;
    int trims_ = 0;
};

}  // namespace ww::platform
