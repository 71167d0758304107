#include "platform/formats/RegText.h"

#include <algorithm>
#include <optional>

#include "platform/common/Utf8.h"
#include "platform/ports/Registry.h"

namespace ww::platform {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// A hexadecimal number of 1 to `maxDigits` digits that is the whole of `text`.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

class Parser {
  public:
    Parser(std::string_view text, std::string_view rootName) : text_(text), root_(rootName) {}

    std::variant<RegDocument, TextParseError> Run();

  private:
    bool NextLine(std::string_view& line);
    bool Fail(std::string message);
    bool ParseSection(std::string_view line);
    bool ParseValue(std::string_view line);
    // A quoted text starting at line[pos]; pos ends past the closing quote.
    std::optional<std::string> ParseQuoted(std::string_view line, std::size_t& pos);
    bool ParseHexList(std::string_view list, std::vector<std::uint8_t>& bytes);

    std::string_view text_;
    std::string_view root_;
    int lineNumber_ = 0;
    RegDocument document_;
    std::optional<std::string> section_;
    RegNotes pending_;  // notes not yet given to the key or value they precede
    TextParseError error_;
};

bool Parser::NextLine(std::string_view& line) {
    if (text_.empty()) {
        return false;
    }
    const auto cut = text_.find('\n');
    line = text_.substr(0, cut);
    text_ = cut == std::string_view::npos ? std::string_view{} : text_.substr(cut + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    ++lineNumber_;
    return true;
}

bool Parser::Fail(std::string message) {
    error_ = TextParseError{lineNumber_, std::move(message)};
    return false;
}

std::variant<RegDocument, TextParseError> Parser::Run() {
    if (StartsWith(text_, "\xEF\xBB\xBF")) {
        text_.remove_prefix(3);
    }
    bool header = false;
    std::string_view line;
    while (NextLine(line)) {
        if (!IsUtf8(line)) {
            Fail("not UTF-8 text");
            return error_;
        }
        std::string_view raw = line;
        while (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);  // written back with one line end, read again alike
        }
        line = Trim(line);
        if (line.empty() && !header) {
            continue;
        }
        if (header && (line.empty() || line.front() == ';')) {
            pending_.emplace_back(line.empty() ? std::string_view{} : raw);
            continue;
        }
        bool ok = true;
        if (!header) {
            header = line == kRegFileHeader;
            ok = header || Fail("the first line must be \"" + std::string(kRegFileHeader) + "\"");
        } else if (line.front() == '[') {
            ok = ParseSection(line);
        } else if (line.front() == '"' || line.front() == '@') {
            ok = ParseValue(line);
        } else {
            ok = Fail("neither a [key] nor a \"name\"=value line");
        }
        if (!ok) {
            return error_;
        }
    }
    document_.Trailer() = std::move(pending_);
    return std::move(document_);
}

bool Parser::ParseSection(std::string_view line) {
    if (line.back() != ']') {
        return Fail("a key line must end with ]");
    }
    const auto name = line.substr(1, line.size() - 2);
    if (StartsWith(name, "-")) {
        return Fail("a settings file cannot delete keys");
    }
    if (!SameRegName(name.substr(0, root_.size()), root_) ||
        (name.size() > root_.size() && name[root_.size()] != '\\')) {
        return Fail("the key is not under " + std::string(root_));
    }
    section_ = NormalizeKeyPath(name.substr(root_.size()));
    const auto& sections = document_.Sections();
    const bool again = std::any_of(sections.begin(), sections.end(), [&](const RegSection& s) {
        return SameRegName(s.path, *section_);
    });
    RegSection& section = document_.Section(*section_);
    // A key that comes again is written once: its notes go to the end of
    // the first section.
    RegNotes& notes = again ? section.trailing : section.leading;
    notes.insert(notes.end(), pending_.begin(), pending_.end());
    pending_.clear();
    return true;
}

std::optional<std::string> Parser::ParseQuoted(std::string_view line, std::size_t& pos) {
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return text;
        }
        if (c == '\\') {
            if (++pos == line.size() || (line[pos] != '\\' && line[pos] != '"')) {
                Fail("only \\\\ and \\\" may follow a backslash in quoted text");
                return std::nullopt;
            }
            c = line[pos];
        }
        text += c;
    }
    Fail("the quoted text has no closing \"");
    return std::nullopt;
}

bool Parser::ParseValue(std::string_view line) {
    if (!section_) {
        return Fail("a value before the first [key]");
    }
    RegValue value;
    std::size_t pos = 1;
    if (line.front() == '"') {
        pos = 0;
        auto name = ParseQuoted(line, pos);
        if (!name) {
            return false;
        }
        value.name = std::move(*name);
    }
    const auto rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
        return Fail("= expected after the value name");
    }
    auto data = Trim(rest.substr(1));
    if (StartsWith(data, "\"")) {
        pos = 0;
        auto text = ParseQuoted(data, pos);
        if (!text) {
            return false;
        }
        if (pos != data.size()) {
            return Fail("text after the closing \"");
        }
        value.type = regtype::kSz;
        value.data.assign(text->begin(), text->end());
    } else if (StartsWith(data, "dword:")) {
        const auto number = ParseHexNumber(data.substr(6), 8);
        if (!number) {
            return Fail("dword: needs 1 to 8 hexadecimal digits");
        }
        value.type = regtype::kDword;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        }
    } else if (StartsWith(data, "hex:") || StartsWith(data, "hex(")) {
        const auto colon = data.find(':');
        value.type = regtype::kBinary;
        if (data[3] == '(') {
            const auto close = data.find(')');
            const auto type = close == std::string_view::npos || colon != close + 1
                                  ? std::nullopt
                                  : ParseHexNumber(data.substr(4, close - 4), 8);
            if (!type) {
                return Fail("hex(type): needs a hexadecimal type");
            }
            value.type = *type;
        }
        if (!ParseHexList(data.substr(colon + 1), value.data)) {
            return false;
        }
    } else if (data == "-") {
        return Fail("a settings file cannot delete values");
    } else {
        return Fail("the value is none of \"text\", dword: and hex:");
    }
    if (!pending_.empty()) {
        RegNotes& notes = document_.Section(*section_).NotesBefore(value.name);
        notes.insert(notes.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }
    document_.SetValue(*section_, std::move(value));
    return true;
}

bool Parser::ParseHexList(std::string_view list, std::vector<std::uint8_t>& bytes) {
    std::string joined(list);
    // A list goes on to the next line while a line ends in "\".
    while (!joined.empty() && joined.back() == '\\') {
        joined.pop_back();
        std::string_view next;
        if (!NextLine(next)) {
            return Fail("the file ends inside a hex: list");
        }
        joined += Trim(next);
    }
    std::string_view items = Trim(joined);
    while (!items.empty()) {
        const auto comma = items.find(',');
        const auto item = Trim(items.substr(0, comma));
        const auto byte = item.size() == 2 ? ParseHexNumber(item, 2) : std::nullopt;
        if (!byte) {
            return Fail("hex: bytes are two hexadecimal digits separated by commas");
        }
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        // A trailing comma before the end is how the editor leaves a wrapped list.
        items =
            comma == std::string_view::npos ? std::string_view{} : Trim(items.substr(comma + 1));
    }
    return true;
}

}  // namespace

std::variant<RegDocument, TextParseError> ParseRegText(std::string_view text,
                                                       std::string_view rootName) {
    return Parser(text, rootName).Run();
}

}  // namespace ww::platform
