#include "tests/e2e/Trace.h"

#include <charconv>

#include "tests/e2e/Process.h"

namespace ww::e2e {

namespace {

// Reads a quoted text starting at text[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> Unquote(std::string_view text, std::size_t& pos) {
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\') {
            if (++pos >= text.size()) {
                return std::nullopt;
            }
            switch (text[pos]) {
                case 'r':
                    out += '\r';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '"':
                    out += '"';
                    break;
                default:
                    return std::nullopt;
            }
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string TraceLine::Field(std::string_view name) const {
    const std::string key = std::string(name) + "=";
    std::size_t at = 0;
    while ((at = text.find(key, at)) != std::string::npos) {
        if (at == 0 || text[at - 1] == ' ') {
            std::size_t pos = at + key.size();
            if (pos < text.size() && text[pos] == '"') {
                return Unquote(text, pos).value_or("");
            }
            return text.substr(pos, text.find(' ', pos) - pos);
        }
        at += key.size();
    }
    return {};
}

std::optional<TraceLine> Trace::Parse(std::string_view line) {
    const auto space = line.find(' ');
    if (space == std::string_view::npos || space == 0) {
        return std::nullopt;
    }
    TraceLine parsed;
    auto [end, error] = std::from_chars(line.data(), line.data() + space, parsed.ms);
    if (error != std::errc() || end != line.data() + space) {
        return std::nullopt;
    }
    parsed.text = std::string(line.substr(space + 1));
    for (std::size_t pos = 0; pos < parsed.text.size();) {
        if (parsed.text[pos] != '"') {
            ++pos;
            continue;
        }
        auto text = Unquote(parsed.text, pos);
        if (!text) {
            return std::nullopt;
        }
        parsed.quoted.push_back(std::move(*text));
    }
    return parsed;
}

std::vector<std::string> Trace::WholeLines() const {
    const std::string content = ReadFile(path_);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = content.find('\n', start)) != std::string::npos; start = nl + 1) {
        lines.push_back(content.substr(start, nl - start));
    }
    return lines;
}

std::vector<TraceLine> Trace::Lines() const {
    std::vector<TraceLine> lines;
    for (const auto& text : WholeLines()) {
        if (auto parsed = Parse(text)) {
            lines.push_back(std::move(*parsed));
        }
    }
    return lines;
}

std::vector<std::string> Trace::Malformed() const {
    std::vector<std::string> bad;
    for (auto& text : WholeLines()) {
        if (!Parse(text)) {
            bad.push_back(std::move(text));
        }
    }
    return bad;
}

bool Trace::Has(std::string_view prefix) const {
    return !All(prefix).empty();
}

std::vector<TraceLine> Trace::All(std::string_view prefix) const {
    std::vector<TraceLine> matching;
    for (auto& line : Lines()) {
        if (line.StartsWith(prefix)) {
            matching.push_back(std::move(line));
        }
    }
    return matching;
}

}  // namespace ww::e2e
