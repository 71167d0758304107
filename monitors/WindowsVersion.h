#pragma once

#include <string>

#include "monitors/ComputerIdentity.h"
#include "platform/ports/SystemIdentity.h"

namespace ww::monitors {

// Asks the system for its version once and records the platform identifier
// and whether it is an NT-family system of major version 5 or later.
void DetectWindowsVersion(platform::SystemIdentity& identity, ComputerIdentity& computer);

// The computer's name, or the empty text when it cannot be read.
std::string GetComputerNameText(platform::SystemIdentity& identity);

}  // namespace ww::monitors
