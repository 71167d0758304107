#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ww::platform {

// The Exec= line of a desktop entry, in two layers: the general escapes of
// every string value (\s \n \t \r \\), and inside them the quoting of the
// command's arguments (double quotes, with " ` $ \ escaped by a backslash;
// a literal % written %%).

std::string EscapeDesktopValue(std::string_view text);
// nullopt when a backslash is followed by anything but s n t r \ (or ends the value).
std::optional<std::string> UnescapeDesktopValue(std::string_view value);

// Arguments quoted where they hold a reserved character, joined by spaces.
std::string JoinExecArguments(const std::vector<std::string>& arguments);

// The arguments of an unescaped Exec value, with quoting undone, %% made %,
// and arguments that are only a field code (%f, %U, ...) left out, as a
// launcher without files or URLs to pass would. nullopt when the quoting is
// malformed.
std::optional<std::vector<std::string>> SplitExecArguments(std::string_view exec);

}  // namespace ww::platform
