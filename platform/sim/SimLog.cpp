#include "platform/sim/SimLog.h"

#include "platform/common/QuotedText.h"

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
    return QuotedText(text);
}

}  // namespace ww::platform
