#pragma once

#include <string>
#include <string_view>

namespace ww::platform {

// `text` in double quotes with \, ", CR and LF escaped by a backslash: how
// the program's traces and the simulated platform's log write texts, so that
// one line always stays one entry.
std::string QuotedText(std::string_view text);

}  // namespace ww::platform
