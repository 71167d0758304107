#include "platform/win32/Win32Forms.h"

#include <algorithm>
#include <string>

#include "platform/win32/Win32Calls.h"
#include "platform/win32/Win32WindowMessages.h"

namespace ww::platform {
namespace {

constexpr WPARAM kSysCommandMask = 0xFFF0;  // the low four bits are the system's own

Win32Forms* FormsOf(HWND window) {
    return reinterpret_cast<Win32Forms*>(GetWindowLongA(window, GWL_USERDATA));
}

// Keeps the Win32Forms object with its window from the first message on.
void Attach(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongA(window, GWL_USERDATA, reinterpret_cast<LONG>(create->lpCreateParams));
    }
}

void RegisterFormClass(HINSTANCE instance, const char* name, WNDPROC proc) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    // A second registration (a second Win32Forms) fails harmlessly.
    RegisterClassA(&windowClass);
}

}  // namespace

int TwipsPerPixel(int dotsPerInch) {
    if (dotsPerInch <= 0) {
        return 15;
    }
    return std::max(1, (1440 + dotsPerInch / 2) / dotsPerInch);
}

Win32Forms::Win32Forms(HINSTANCE instance, const RunState& run, Win32Trace& trace)
    : instance_(instance), run_(run), trace_(trace) {
    RegisterFormClass(instance_, kFormClass, &FormProc);
    RegisterFormClass(instance_, kPictureBoxClass, &PictureBoxProc);
}

Win32Forms::~Win32Forms() {
    // Whatever procedure the logic left installed may not outlive it: the
    // windows go through their own procedures, and tell no one.
    events_ = nullptr;
    for (HWND window : {pictureBox_, form_}) {
        if (window != nullptr) {
            Win32WindowMessages::ReleaseWindow(FromWin(window));
        }
    }
    DestroyTrayForm();
}

Forms::TrayFormWindows Win32Forms::CreateTrayForm(TrayFormEvents& events) {
    DestroyTrayForm();
    events_ = &events;
    // Never shown: no WS_VISIBLE, and no taskbar button.
    form_ = CreateWindowExA(WS_EX_TOOLWINDOW, kFormClass, "frmSysTray", WS_OVERLAPPED, 0, 0, 0, 0,
                            nullptr, nullptr, instance_, this);
    pictureBox_ = form_ == nullptr ? nullptr
                                   : CreateWindowExA(0, kPictureBoxClass, "picSysTray", WS_CHILD, 0,
                                                     0, 16, 16, form_, nullptr, instance_, this);
    return TrayFormWindows{FromWin(form_), FromWin(pictureBox_)};
}

void Win32Forms::DestroyTrayForm() {
    const HWND form = form_;
    form_ = nullptr;
    pictureBox_ = nullptr;
    events_ = nullptr;
    // The picture box, a child, goes with the form.
    if (form != nullptr && IsWindow(form) != FALSE) {
        DestroyWindow(form);
    }
}

int Win32Forms::TwipsPerPixelX() {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return TwipsPerPixel(dotsPerInch);
}

void Win32Forms::Close(std::string_view traceEvent) {
    trace_.Write(traceEvent);
    if (run_.Ended() || events_ == nullptr) {
        return;
    }
    events_->PlatformClose();
}

void Win32Forms::MouseMove(LPARAM lParam) {
    if (run_.Ended() || events_ == nullptr) {
        return;
    }
    const auto value = static_cast<DWORD>(lParam);
    const int x = LOWORD(value);
    const int y = HIWORD(value);
    if (trace_.Enabled()) {
        trace_.Write("click " + std::to_string(x));
    }
    const int twips = TwipsPerPixelX();
    events_->PictureBoxMouseMove(0, 0, static_cast<float>(x * twips),
                                 static_cast<float>(y * twips));
}

LRESULT CALLBACK Win32Forms::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Attach(window, message, lParam);
    Win32Forms* forms = FormsOf(window);
    switch (message) {
        case WM_SYSCOMMAND:
            if (forms != nullptr && (wParam & kSysCommandMask) == SC_SCREENSAVE) {
                forms->trace_.Write("saver start");
            }
            break;
        case WM_CLOSE:
            // Not DestroyWindow: the logic unloads the form in its own order.
            if (forms != nullptr && forms->form_ == window) {
                forms->Close("close window");
            }
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE && forms != nullptr && forms->form_ == window) {
                forms->Close("close session");
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Forms::PictureBoxProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    Attach(window, message, lParam);
    if (message == WM_MOUSEMOVE) {
        Win32Forms* forms = FormsOf(window);
        if (forms != nullptr && forms->pictureBox_ == window) {
            forms->MouseMove(lParam);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ww::platform
