#pragma once

#include <vector>

#include "platform/ports/InterfaceTable.h"

namespace ww::platform {

// iphlpapi's GetIfTable, loaded when first needed: Windows 95 and NT 4 may
// not have the library, and then there is no table (50, not supported).
// The table's bytes are read by the shared MIB_IFTABLE reader.
class Win32InterfaceTable final : public InterfaceTable {
  public:
    Win32InterfaceTable() = default;
    ~Win32InterfaceTable() override;
    Win32InterfaceTable(const Win32InterfaceTable&) = delete;
    Win32InterfaceTable& operator=(const Win32InterfaceTable&) = delete;

    std::uint32_t GetIfTable(std::vector<InterfaceOctets>& rows) override;

  private:
    using GetIfTableFn = unsigned long(__stdcall*)(void* table, unsigned long* size, int order);

    bool loaded_ = false;
    void* library_ = nullptr;
    GetIfTableFn getIfTable_ = nullptr;
    // Kept between calls: the table is read into the size that last sufficed.
    std::vector<std::uint8_t> buffer_;
};

}  // namespace ww::platform
