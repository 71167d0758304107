#include "platform/win32/SystemCodePage.h"

#include "platform/win32/Win32Calls.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace ww::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point starting at `at`, moving `at` past it.
char32_t DecodeUtf8(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<std::uint8_t>(text[at++]);
    if (lead < 0x80) {
        return lead;
    }
    int trail = 0;
    char32_t value = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        trail = 1, value = lead & 0x1Fu, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        trail = 2, value = lead & 0x0Fu, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        trail = 3, value = lead & 0x07u, lowest = 0x10000;
    } else {
        return kReplacement;
    }
    for (int i = 0; i < trail; ++i) {
        if (at >= text.size() || (static_cast<std::uint8_t>(text[at]) & 0xC0) != 0x80) {
            return kReplacement;  // the next byte starts the next character
        }
        value = (value << 6) | (static_cast<std::uint8_t>(text[at++]) & 0x3Fu);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return kReplacement;
    }
    return value;
}

void EncodeUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool FitsInt(std::size_t size) {
    return size <= static_cast<std::size_t>(std::numeric_limits<int>::max() / 4);
}

// `wide` in code page `codePage`; nullopt when the system cannot convert it.
std::optional<std::string> FromWide(std::wstring_view wide, unsigned codePage) {
    if (wide.empty()) {
        return std::string();
    }
    const int units = static_cast<int>(wide.size());
    const int size =
        ::WideCharToMultiByte(codePage, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    if (::WideCharToMultiByte(codePage, 0, wide.data(), units, text.data(), size, nullptr,
                              nullptr) != size) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<std::uint8_t>(c) < 0x80; });
}

std::wstring WideFromUtf8(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = DecodeUtf8(utf8, at);
        if (c >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(c);
        }
    }
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(wide[i]));
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size()) {
            const auto next = static_cast<char32_t>(static_cast<std::uint16_t>(wide[i + 1]));
            if (next >= 0xDC00 && next <= 0xDFFF) {
                EncodeUtf8(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), utf8);
                ++i;
                continue;
            }
        }
        EncodeUtf8(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit, utf8);
    }
    return utf8;
}

std::string ToSystemCodePage(std::string_view utf8) {
    if (IsAscii(utf8) || !FitsInt(utf8.size())) {
        return std::string(utf8);
    }
    return FromWide(WideFromUtf8(utf8), CP_ACP).value_or(std::string(utf8));
}

std::string ToCodePageWithin(std::string_view utf8, unsigned codePage, std::size_t maxBytes) {
    if (IsAscii(utf8) || !FitsInt(utf8.size())) {
        return std::string(utf8.substr(0, std::min(utf8.size(), maxBytes)));
    }
    const std::wstring wide = WideFromUtf8(utf8);
    std::optional<std::string> whole = FromWide(wide, codePage);
    if (!whole) {
        // Not convertible: the UTF-8 itself, cut before a lead byte.
        std::size_t n = std::min(utf8.size(), maxBytes);
        while (n > 0 && n < utf8.size() && (static_cast<std::uint8_t>(utf8[n]) & 0xC0) == 0x80) {
            --n;
        }
        return std::string(utf8.substr(0, n));
    }
    if (whole->size() <= maxBytes) {
        return *whole;
    }
    // Character by character (a surrogate pair is one), as long as the bytes fit.
    std::size_t units = 0;
    std::size_t bytes = 0;
    while (units < wide.size()) {
        const auto unit = static_cast<std::uint16_t>(wide[units]);
        const std::size_t width =
            unit >= 0xD800 && unit <= 0xDBFF && units + 1 < wide.size() ? 2 : 1;
        const int size =
            ::WideCharToMultiByte(codePage, 0, wide.data() + units, static_cast<int>(width),
                                  nullptr, 0, nullptr, nullptr);
        if (size <= 0 || bytes + static_cast<std::size_t>(size) > maxBytes) {
            break;
        }
        bytes += static_cast<std::size_t>(size);
        units += width;
    }
    return FromWide(std::wstring_view(wide).substr(0, units), codePage).value_or(std::string());
}

std::string FromSystemCodePage(std::string_view ansi) {
    if (IsAscii(ansi) || !FitsInt(ansi.size())) {
        return std::string(ansi);
    }
    const int bytes = static_cast<int>(ansi.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, nullptr, 0);
    if (units <= 0) {
        return std::string(ansi);
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, wide.data(), units) != units) {
        return std::string(ansi);
    }
    return Utf8FromWide(wide);
}

}  // namespace ww::platform
