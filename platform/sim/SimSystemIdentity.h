#pragma once

#include <string>

#include "platform/ports/SystemIdentity.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Machine identity; by default an NT-family 5.1 machine named "OFFICE7".
class SimSystemIdentity : public SystemIdentity {
  public:
    explicit SimSystemIdentity(SimLog& log);

    // Fails, leaving the record alone, when told to or when the caller did
    // not set dwOSVersionInfoSize to 148 (as Windows does).
    bool GetVersionExA(OsVersionInfo& info) override;

    // Fails when told to or when the name and its NUL do not fit `size`;
    // `size` then holds the size needed.
    bool GetComputerNameA(char* buffer, std::uint32_t& size) override;

    // --- control ---
    // The record reported (its dwOSVersionInfoSize is left as the caller set it).
    void SetVersion(const OsVersionInfo& info) { version_ = info; }
    void SetPlatform(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);
    void SetVersionFails(bool fails) { versionFails_ = fails; }
    void SetComputerName(std::string name) { name_ = std::move(name); }
    void SetComputerNameFails(bool fails) { nameFails_ = fails; }

  private:
    SimLog& log_;
    OsVersionInfo version_;
    bool versionFails_ = false;
    std::string name_ = "OFFICE7";
    bool nameFails_ = false;
};

}  // namespace ww::platform
