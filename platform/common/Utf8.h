#pragma once

#include <string_view>

namespace ww::platform {

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

// True when `text` is UTF-8 without C0 control characters or DEL.
bool IsPrintableUtf8(std::string_view text);

}  // namespace ww::platform
