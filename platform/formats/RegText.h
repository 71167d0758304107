#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "platform/common/RegDocument.h"
#include "platform/common/TextParseError.h"

namespace ww::platform {

// The text format the registry editor exports and imports, in UTF-8:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Wakewatch\Settings]
//   "Name"="text with \\ and \" escaped"
//   "HotCorners"=dword:00000001
//   @=hex(2):25,00
//
// REG_SZ text that is printable UTF-8 is written quoted, a 4-byte REG_DWORD
// as dword:, REG_BINARY as hex: and everything else as hex(type): with the
// data bytes as stored. One file holds one root.
inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";

// Reads a file of the root `rootName` (e.g. "HKEY_CURRENT_USER"). Blank
// lines and ";" comments after the header are kept as notes of the key or
// value that follows them (FormatRegText writes them back there); text with
// only blanks is an empty document. Deletion entries ([-key], "name"=-) are errors: a settings file
// states what is there, it does not change it.
std::variant<RegDocument, TextParseError> ParseRegText(std::string_view text,
                                                       std::string_view rootName);

std::string FormatRegText(const RegDocument& document, std::string_view rootName);

// Whether a key or value name can stand in the file.
bool IsStorableRegName(std::string_view name);

}  // namespace ww::platform
