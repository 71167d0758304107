#pragma once

#include <optional>
#include <vector>

#include "platform/ports/InterfaceTable.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The interface table: the rows set here, no interfaces by default.
class SimInterfaceTable : public InterfaceTable {
  public:
    explicit SimInterfaceTable(SimLog& log) : log_(log) {}

    std::uint32_t GetIfTable(std::vector<InterfaceOctets>& rows) override;

    // --- control ---
    void SetRows(std::vector<InterfaceOctets> rows) { rows_ = std::move(rows); }
    std::vector<InterfaceOctets>& Rows() { return rows_; }
    // Every read answers 50 while set.
    void SetNotSupported(bool notSupported) { notSupported_ = notSupported; }
    // The next read answers `code` with no rows.
    void FailNextRead(std::uint32_t code) { failNext_ = code; }

  private:
    SimLog& log_;
    std::vector<InterfaceOctets> rows_;
    bool notSupported_ = false;
    std::optional<std::uint32_t> failNext_;
};

}  // namespace ww::platform
