#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/common/TextParseError.h"

namespace ww::platform {

// A desktop entry file kept line by line, so that changing one key of the
// [Desktop Entry] group leaves every other line as it was. Values are as
// written in the file: the general escapes are the caller's business.
class DesktopEntry {
  public:
    // A file with only the [Desktop Entry] group line.
    DesktopEntry();

    // Blank lines, # comments, [group] lines and Key=Value lines (a key of
    // letters, digits and "-", with an optional [locale]); the file must be
    // UTF-8 and have a [Desktop Entry] group.
    static std::variant<DesktopEntry, TextParseError> Parse(std::string_view text);

    // The value of `key` in the [Desktop Entry] group, blanks around "=" removed;
    // the last line of a key given more than once.
    std::optional<std::string> Get(std::string_view key) const;
    // Replaces the key's last line (dropping earlier ones), or adds one after
    // the group's last entry.
    void Set(std::string_view key, std::string_view value);
    void Remove(std::string_view key);

    std::string Text() const;

  private:
    struct Line {
        std::string text;
        std::string group;  // the group the line belongs to
        std::string key;    // empty for anything but an entry
        std::string value;
        bool header = false;  // a [group] line
    };
    static constexpr std::string_view kGroup = "Desktop Entry";

    std::vector<Line> lines_;
};

}  // namespace ww::platform
