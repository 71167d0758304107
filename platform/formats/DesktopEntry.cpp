#include "platform/formats/DesktopEntry.h"

#include <algorithm>

#include "platform/common/Utf8.h"

namespace ww::platform {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsKey(std::string_view key) {
    const auto bracket = key.find('[');
    const auto name = key.substr(0, bracket);
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '-';
        })) {
        return false;
    }
    return bracket == std::string_view::npos || (key.back() == ']' && key.size() > bracket + 2);
}

}  // namespace

DesktopEntry::DesktopEntry() {
    lines_.push_back(Line{"[" + std::string(kGroup) + "]", std::string(kGroup), {}, {}, true});
}

std::variant<DesktopEntry, TextParseError> DesktopEntry::Parse(std::string_view text) {
    DesktopEntry entry;
    entry.lines_.clear();
    std::string group;
    bool hasGroup = false;
    int number = 0;
    while (!text.empty()) {
        const auto cut = text.find('\n');
        std::string_view raw = text.substr(0, cut);
        text = cut == std::string_view::npos ? std::string_view{} : text.substr(cut + 1);
        // Every carriage return at the end goes, not just the one of a CRLF:
        // a kept one would turn into that CRLF's when the entry is written back
        // and so read differently the next time.
        while (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        ++number;
        if (!IsUtf8(raw)) {
            return TextParseError{number, "not UTF-8 text"};
        }
        Line line{std::string(raw), group, {}, {}, false};
        const auto trimmed = TrimBlanks(raw);
        if (trimmed.empty() || trimmed.front() == '#') {
            // kept as it is
        } else if (trimmed.front() == '[') {
            if (trimmed.back() != ']' || trimmed.size() < 3) {
                return TextParseError{number, "a group line must be [name]"};
            }
            group = std::string(trimmed.substr(1, trimmed.size() - 2));
            line.group = group;
            line.header = true;
            hasGroup = hasGroup || group == kGroup;
        } else {
            const auto equals = trimmed.find('=');
            const auto key = TrimBlanks(trimmed.substr(0, equals));
            if (equals == std::string_view::npos || !IsKey(key)) {
                return TextParseError{number, "neither a [group] nor a Key=Value line"};
            }
            if (group.empty()) {
                return TextParseError{number, "an entry before the first group"};
            }
            line.key = std::string(key);
            line.value = std::string(TrimBlanks(raw.substr(raw.find('=') + 1)));
        }
        entry.lines_.push_back(std::move(line));
    }
    if (!hasGroup) {
        return TextParseError{std::max(number, 1), "no [Desktop Entry] group"};
    }
    return entry;
}

std::optional<std::string> DesktopEntry::Get(std::string_view key) const {
    // Of a key given twice the last counts, as the desktops read it.
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
        if (line->group == kGroup && line->key == key) {
            return line->value;
        }
    }
    return std::nullopt;
}

void DesktopEntry::Set(std::string_view key, std::string_view value) {
    Line replacement{std::string(key) + "=" + std::string(value), std::string(kGroup),
                     std::string(key), std::string(value), false};
    std::size_t insertAt = lines_.size();
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].group != kGroup) {
            continue;
        }
        if (lines_[i].key == key) {
            last = i;
        }
        if (!lines_[i].key.empty() || lines_[i].header) {
            insertAt = i + 1;
        }
    }
    if (!last) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      std::move(replacement));
        return;
    }
    // The last line of the key takes the value; earlier ones would only
    // mislead a reader that takes the first.
    lines_[*last] = std::move(replacement);
    for (std::size_t i = *last; i-- > 0;) {
        if (lines_[i].group == kGroup && lines_[i].key == key) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void DesktopEntry::Remove(std::string_view key) {
    std::erase_if(lines_,
                  [&](const Line& line) { return line.group == kGroup && line.key == key; });
}

std::string DesktopEntry::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line.text;
        text += '\n';
    }
    return text;
}

}  // namespace ww::platform
