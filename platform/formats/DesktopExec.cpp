#include "platform/formats/DesktopExec.h"

namespace ww::platform {
namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";
constexpr std::string_view kFieldCodes = "fFuUdDnNickvm";

std::string DoublePercent(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    return out;
}

// Undoes %% inside one argument; nullopt when the argument is a field code.
std::optional<std::string> ExpandPercent(const std::string& argument) {
    if (argument.size() == 2 && argument[0] == '%' &&
        kFieldCodes.find(argument[1]) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        out += argument[i];
        if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') {
            ++i;
        }
    }
    return out;
}

}  // namespace

std::string EscapeDesktopValue(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == ' ' && (i == 0 || i + 1 == text.size())) {
            out += "\\s";  // blanks at either end would be trimmed by readers
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeDesktopValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        switch (value[i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string JoinExecArguments(const std::vector<std::string>& arguments) {
    std::string exec;
    for (const auto& argument : arguments) {
        if (!exec.empty()) {
            exec += ' ';
        }
        if (!argument.empty() && argument.find_first_of(kReserved) == std::string::npos) {
            exec += DoublePercent(argument);
            continue;
        }
        exec += '"';
        for (const char c : DoublePercent(argument)) {
            if (kEscapedInQuotes.find(c) != std::string_view::npos) {
                exec += '\\';
            }
            exec += c;
        }
        exec += '"';
    }
    return exec;
}

std::optional<std::vector<std::string>> SplitExecArguments(std::string_view exec) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (true) {
        while (i < exec.size() && exec[i] == ' ') {
            ++i;
        }
        if (i == exec.size()) {
            return arguments;
        }
        std::string argument;
        if (exec[i] == '"') {
            for (++i;; ++i) {
                if (i == exec.size()) {
                    return std::nullopt;  // no closing quote
                }
                if (exec[i] == '"') {
                    ++i;
                    break;
                }
                if (exec[i] == '\\') {
                    if (++i == exec.size() ||
                        kEscapedInQuotes.find(exec[i]) == std::string_view::npos) {
                        return std::nullopt;
                    }
                }
                argument += exec[i];
            }
            if (i < exec.size() && exec[i] != ' ') {
                return std::nullopt;  // a quoted argument is a whole argument
            }
        } else {
            for (; i < exec.size() && exec[i] != ' '; ++i) {
                if (exec[i] == '"') {
                    return std::nullopt;
                }
                argument += exec[i];
            }
        }
        if (auto expanded = ExpandPercent(argument)) {
            arguments.push_back(std::move(*expanded));
        }
    }
}

}  // namespace ww::platform
