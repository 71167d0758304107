#pragma once

#include <string_view>
#include <vector>

#include "platform/ports/InterfaceTable.h"

namespace ww::platform {

// Reads the text of Linux's /proc/net/dev into `rows`: one row per interface
// line ("name: rx-bytes ... tx-bytes ..."), loopback and down interfaces
// included, in file order, each byte counter truncated to its low 32 bits.
// Header lines and lines that are not a well-formed interface line are
// skipped. Any input is accepted. `rows` is cleared first and keeps its
// capacity, so a caller reusing the vector allocates only when it grows.
void ParseProcNetDev(std::string_view text, std::vector<InterfaceOctets>& rows);

}  // namespace ww::platform
