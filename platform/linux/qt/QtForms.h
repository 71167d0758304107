#pragma once

#include <string_view>

#include "platform/common/RunState.h"
#include "platform/common/WindowTable.h"
#include "platform/linux/trace/Trace.h"
#include "platform/ports/UiRuntime.h"

namespace ww::platform {

// The hidden tray form: two windows of the window table, the form and its
// picture box, whose default procedures do what the system would.
class QtForms final : public Forms {
  public:
    QtForms(WindowTable& table, Trace& trace, const RunState& run);
    ~QtForms() override;
    QtForms(const QtForms&) = delete;
    QtForms& operator=(const QtForms&) = delete;

    TrayFormWindows CreateTrayForm(TrayFormEvents& events) override;
    void DestroyTrayForm() override;
    int TwipsPerPixelX() override;

    // The form's window, 0 while there is none.
    Hwnd FormWindow() const { return windows_.form; }
    bool HasTrayForm() const { return events_ != nullptr; }

    // The platform closes the tray form (a signal, the session ending);
    // `traceEvent` says why. Ignored once ended or without a form.
    void PlatformClose(std::string_view traceEvent);

  private:
    std::intptr_t PictureBoxProc(std::uint32_t message, std::intptr_t lParam);

    WindowTable& table_;
    Trace& trace_;
    const RunState& run_;
    TrayFormEvents* events_ = nullptr;
    TrayFormWindows windows_;
};

// Twips per pixel for a logical resolution: 1440 / dpi, rounded (15 at 96 dpi).
int TwipsPerPixel(double dotsPerInch);

}  // namespace ww::platform
