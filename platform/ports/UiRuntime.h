#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ports/Types.h"

namespace ww::platform {

// Facts about the running program, as the run-time's App object gives them.
struct AppFacts {
    std::string title;    // "Wakewatch"
    std::string path;     // the folder holding the program file, no trailing separator added
    std::string exeName;  // the program file's name without extension
    int major = 0;
    int minor = 0;
    int revision = 0;
    // What joins the folder and the file name, and the program file's
    // extension: "\\" and ".exe" on Windows.
    std::string pathSeparator = "\\";
    std::string exeExtension = ".exe";
};

class Application {
  public:
    virtual ~Application() = default;

    // Title, folder, executable name and version of this program.
    virtual const AppFacts& App() = 0;

    // The argument text after the program name, as the run-time hands it over
    // (arguments joined by single blanks, quotes kept as typed).
    virtual std::string Command() = 0;
};

// Timers, the message-loop yield and the end of the process.
class EventLoop {
  public:
    using TimerId = std::uint32_t;

    virtual ~EventLoop() = default;

    // Starts a repeating timer; `onTick` runs on the UI thread every
    // `intervalMs`, never re-entered while it runs. Returns a non-zero id.
    virtual TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> onTick) = 0;

    // Stops a timer; no tick of it runs afterwards. Unknown ids are ignored.
    virtual void KillTimer(TimerId id) = 0;

    // DoEvents: handles every queued message (mouse, menu, timers of other
    // forms, tray-host changes) on this thread before returning.
    virtual void DoEvents() = 0;

    // Ends the process at once: no further event of any kind is delivered
    // after this returns; the caller returns straight to the loop.
    virtual void End() = 0;
};

namespace mb {
inline constexpr std::uint32_t kOkOnly = 0;
inline constexpr std::uint32_t kExclamation = 48;
}  // namespace mb

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A modal message box with `text` (lines split at "\r\n"), the buttons and
    // icon of `style` and `title` as caption. Returns when the user closes it,
    // with the button pressed (1 = OK). Window messages are handled meanwhile.
    virtual int MsgBox(std::string_view text, std::uint32_t style, std::string_view title) = 0;

    // Whether one of these boxes is open now; if so, it is brought to the
    // front. The tray's commands then leave it at that rather than open
    // another box in its loop (boxes inside boxes pile up without end).
    virtual bool RaiseOpenBox() = 0;
};

// What the hidden tray form receives from the run-time.
class TrayFormEvents {
  public:
    virtual ~TrayFormEvents() = default;

    // The picture box's mouse-move event. X and Y are in twips (the form's
    // default scale): pixel coordinate × twips per pixel.
    virtual void PictureBoxMouseMove(int button, int shift, float x, float y) = 0;

    // The platform closes the tray form (logout, a termination signal, the
    // session ending): the form must unload and the program end.
    virtual void PlatformClose() = 0;
};

// The run-time's forms, as far as the hidden tray form needs them.
class Forms {
  public:
    virtual ~Forms() = default;

    struct TrayFormWindows {
        Hwnd form = 0;        // the tray form's own top-level window
        Hwnd pictureBox = 0;  // its picture box child, picSysTray
    };

    // Creates the hidden tray form and its picture box. The picture box's
    // default window procedure turns WM_MOUSEMOVE into
    // events.PictureBoxMouseMove with X = LOWORD(lParam) × TwipsPerPixelX();
    // PlatformClose arrives when the platform closes the form.
    virtual TrayFormWindows CreateTrayForm(TrayFormEvents& events) = 0;

    // Destroys the tray form's windows (WM_DESTROY reaches their current
    // window procedures). Safe to call more than once.
    virtual void DestroyTrayForm() = 0;

    // Screen twips per pixel, horizontally (15 at 96 dpi).
    virtual int TwipsPerPixelX() = 0;
};

}  // namespace ww::platform
