#pragma once

#include <string>

namespace ww::platform {

// Why a settings text could not be read: the 1-based line and what was wrong.
struct TextParseError {
    int line = 0;
    std::string message;
};

}  // namespace ww::platform
