#pragma once

#include <optional>
#include <string>

namespace ww::platform {

// Why `program` may not be started in every user's session, or nothing
// when it may: the file and every folder above it (through any symbolic
// links) must belong to root and be writable by no group and no one else,
// or a user who could change them would have code run as everybody.
std::optional<std::string> WhyNotTrusted(const std::string& program);

}  // namespace ww::platform
