#include "platform/formats/RegText.h"

#include <cstdio>

#include "platform/common/Utf8.h"
#include "platform/ports/Registry.h"

namespace ww::platform {
namespace {

constexpr std::size_t kHexLineWidth = 76;  // the editor's own wrap, "\" fits after it

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

void AppendHexList(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (out.size() - lineStart + 3 > kHexLineWidth) {
            out += "\\\n  ";
            lineStart = out.size() - 2;
        }
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0x0F];
        if (i + 1 < data.size()) {
            out += ',';
        }
    }
}

void AppendValue(std::string& out, const RegValue& value) {
    const std::size_t lineStart = out.size();
    out += value.name.empty() ? std::string("@") : Quote(value.name);
    out += '=';
    const std::string_view text(reinterpret_cast<const char*>(value.data.data()),
                                value.data.size());
    char number[16];
    if (value.type == regtype::kSz && IsPrintableUtf8(text)) {
        out += Quote(text);
    } else if (value.type == regtype::kDword && value.data.size() == 4) {
        std::uint32_t bits = 0;
        for (int i = 3; i >= 0; --i) {
            bits = (bits << 8) | value.data[static_cast<std::size_t>(i)];
        }
        std::snprintf(number, sizeof number, "dword:%08x", bits);
        out += number;
    } else {
        if (value.type == regtype::kBinary) {
            out += "hex:";
        } else {
            std::snprintf(number, sizeof number, "hex(%x):", value.type);
            out += number;
        }
        AppendHexList(out, lineStart, value.data);
    }
    out += '\n';
}

void AppendNotes(std::string& out, const RegNotes* notes) {
    if (notes != nullptr) {
        for (const auto& line : *notes) {
            out += line;
            out += '\n';
        }
    }
}

}  // namespace

std::string FormatRegText(const RegDocument& document, std::string_view rootName) {
    std::string out(kRegFileHeader);
    out += "\n";
    for (const auto& section : document.Sections()) {
        // A key line has a blank line before it, unless the file had other
        // lines there.
        if (section.leading.empty()) {
            out += "\n";
        }
        AppendNotes(out, &section.leading);
        out += "[";
        out += rootName;
        if (!section.path.empty()) {
            out += '\\';
            out += section.path;
        }
        out += "]\n";
        for (const auto& value : section.values) {
            AppendNotes(out, section.FindNotesBefore(value.name));
            AppendValue(out, value);
        }
        AppendNotes(out, &section.trailing);
    }
    AppendNotes(out, &document.Trailer());
    return out;
}

bool IsStorableRegName(std::string_view name) {
    return IsPrintableUtf8(name);
}

}  // namespace ww::platform
