#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ww::platform {

// Text crosses the ports as UTF-8 and the Windows "A" calls as the system's
// ANSI code page. Text of ASCII characters only is the same in both and passes
// unchanged; so does all text when the system cannot convert. Embedded NULs
// are kept. A character the code page lacks becomes the system's default
// character ("?").
std::string ToSystemCodePage(std::string_view utf8);
std::string FromSystemCodePage(std::string_view ansi);

// As ToSystemCodePage, into code page `codePage`, and cut to at most
// `maxBytes` bytes between characters: a double-byte character that would
// straddle the limit is left out whole.
std::string ToCodePageWithin(std::string_view utf8, unsigned codePage, std::size_t maxBytes);

// UTF-16 <-> UTF-8 without the system (Windows 95 converts no UTF-8).
// Malformed input becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

}  // namespace ww::platform
