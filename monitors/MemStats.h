#pragma once

#include <string>

#include "monitors/ComputerIdentity.h"
#include "platform/ports/Locale.h"
#include "platform/ports/Memory.h"

namespace ww::monitors {

// The committed memory in kibibytes with the locale's group separator and
// " K", or "memory query failed".
std::string GetMemoryUsageText(platform::Memory& memory, platform::Locale& locale,
                               const ComputerIdentity& computer);

// Asks the system to take as many pages as it can out of the working set.
void TrimWorkingSet(platform::Memory& memory);

}  // namespace ww::monitors
