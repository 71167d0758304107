#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace ww::platform {

// A login manager or an autostart entry may start us a moment before the
// session's compositor listens. Tries to reach it until `bound` has passed,
// saying once on `notes` that it waits; the problem when it never answered.
std::optional<std::string> WaitForCompositor(std::chrono::milliseconds bound, std::FILE* notes);

}  // namespace ww::platform
