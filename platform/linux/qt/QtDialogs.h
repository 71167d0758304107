#pragma once

#include "platform/linux/trace/Trace.h"

class QWidget;
#include "platform/ports/UiRuntime.h"

namespace ww::platform {

// Message boxes as modal QMessageBoxes (a nested event loop: timers and tray
// events go on while one is open).
class QtDialogs final : public Dialogs {
  public:
    explicit QtDialogs(Trace& trace);

    int MsgBox(std::string_view text, std::uint32_t style, std::string_view title) override;
    bool RaiseOpenBox() override;

  private:
    Trace& trace_;
    QWidget* open_ = nullptr;  // the innermost box open
};

}  // namespace ww::platform
