#include "platform/sim/SimDialogs.h"

namespace ww::platform {

int SimDialogs::MsgBox(std::string_view text, std::uint32_t style, std::string_view title) {
    log_.Add("MsgBox(" + SimLog::Quote(text) + ", " + std::to_string(style) + ", " +
             SimLog::Quote(title) + ")");
    shown_.push_back({std::string(text), style, std::string(title)});
    ++open_;
    if (whileOpen_) {
        auto action = whileOpen_;                   // the action may replace itself
        const MsgBoxRecord record = shown_.back();  // or open another box
        action(record);
    }
    --open_;
    return answer_;
}

bool SimDialogs::RaiseOpenBox() {
    if (open_ == 0) {
        return false;
    }
    log_.Add("RaiseOpenBox");
    return true;
}

}  // namespace ww::platform
