#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ports/UiRuntime.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Message boxes that close themselves with a preset answer (1 = OK).
class SimDialogs : public Dialogs {
  public:
    struct MsgBoxRecord {
        std::string text;
        std::uint32_t style = 0;
        std::string title;
    };

    explicit SimDialogs(SimLog& log) : log_(log) {}

    // Records the box, runs the while-open action, returns the preset answer.
    int MsgBox(std::string_view text, std::uint32_t style, std::string_view title) override;
    // True while a box is open, logged as RaiseOpenBox.
    bool RaiseOpenBox() override;

    // --- control ---
    const std::vector<MsgBoxRecord>& Shown() const { return shown_; }
    void SetAnswer(int answer) { answer_ = answer; }

    // Runs while each box is open (e.g. advance the clock to prove the ticks
    // wait); an empty function removes it.
    void SetWhileOpen(std::function<void(const MsgBoxRecord&)> action) {
        whileOpen_ = std::move(action);
    }

  private:
    SimLog& log_;
    std::vector<MsgBoxRecord> shown_;
    int answer_ = 1;
    int open_ = 0;
    std::function<void(const MsgBoxRecord&)> whileOpen_;
};

}  // namespace ww::platform
