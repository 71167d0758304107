#pragma once

#include <string>
#include <utility>

#include "platform/linux/proc/ProcFile.h"
#include "platform/ports/InterfaceTable.h"

namespace ww::platform {

// The interface table from /proc/net/dev: every interface of the program's
// network namespace, loopback included, counters cut to 32 bits.
class ProcInterfaceTable final : public InterfaceTable {
  public:
    explicit ProcInterfaceTable(std::string path = "/proc/net/dev") : file_(std::move(path)) {}

    // 0 with the rows; 50 when the file does not exist; 31 (general failure)
    // with no rows when it cannot be read.
    std::uint32_t GetIfTable(std::vector<InterfaceOctets>& rows) override;

  private:
    ProcFile file_;
};

}  // namespace ww::platform
