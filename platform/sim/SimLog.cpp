#include "platform/sim/SimLog.h"

namespace ww::platform {

std::vector<std::string> SimLog::WithPrefix(std::string_view prefix) const {
    std::vector<std::string> found;
    for (const auto& entry : entries_) {
        if (entry.starts_with(prefix)) {
            found.push_back(entry);
        }
    }
    return found;
}

std::size_t SimLog::Count(std::string_view prefix) const {
    std::size_t count = 0;
    for (const auto& entry : entries_) {
        if (entry.starts_with(prefix)) {
            ++count;
        }
    }
    return count;
}

std::string SimLog::Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\n':
                quoted += "\\n";
                break;
            default:
                quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace ww::platform
