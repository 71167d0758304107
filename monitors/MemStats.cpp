#include "monitors/MemStats.h"

// Placeholder until the memory monitor lands.
namespace ww::monitors {

std::string GetMemoryUsageText(platform::Memory&, platform::Locale&, const core::SharedState&) {
    return "memory query failed";
}

void TrimWorkingSet(platform::Memory&) {}

}  // namespace ww::monitors
