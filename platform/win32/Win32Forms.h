#pragma once

#include "platform/win32/Win32Calls.h"

#include <string_view>

#include "platform/common/RunState.h"
#include "platform/ports/UiRuntime.h"
#include "platform/win32/Win32Trace.h"

namespace ww::platform {

// The hidden tray form: a top-level window that is never shown, and its
// picture box child, whose procedure turns the notify icon's callback
// message (a mouse move with the mouse code in lParam) into the picture
// box's mouse-move event. The form's own procedure leaves WM_SYSCOMMAND to
// the system (SC_SCREENSAVE starts the screen saver) and turns WM_CLOSE and
// the end of the session into PlatformClose.
class Win32Forms final : public Forms {
  public:
    Win32Forms(HINSTANCE instance, const RunState& run, Win32Trace& trace);
    ~Win32Forms() override;
    Win32Forms(const Win32Forms&) = delete;
    Win32Forms& operator=(const Win32Forms&) = delete;

    TrayFormWindows CreateTrayForm(TrayFormEvents& events) override;
    void DestroyTrayForm() override;
    int TwipsPerPixelX() override;

    // The form's top-level window, nullptr while there is none.
    HWND FormWindow() const { return form_; }

    // Window class names, for tests and tools that look for the windows.
    static constexpr const char* kFormClass = "WakewatchTrayForm";
    static constexpr const char* kPictureBoxClass = "WakewatchPictureBox";

  private:
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Close(std::string_view traceEvent);
    void MouseMove(LPARAM lParam);

    HINSTANCE instance_;
    const RunState& run_;
    Win32Trace& trace_;
    TrayFormEvents* events_ = nullptr;
    HWND form_ = nullptr;
    HWND pictureBox_ = nullptr;
};

// Twips per pixel for a resolution: 1440 / dpi, rounded (15 at 96 dpi).
int TwipsPerPixel(int dotsPerInch);

}  // namespace ww::platform
