#include "platform/win32/Win32MainWindowView.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/SystemFolder.h"
#include "platform/win32/Win32Calls.h"
#include "platform/win32/Win32IconImage.h"

namespace ww::platform {
namespace {

// The common controls, from the system folder and at run time: comctl32 is
// no known DLL, so were it imported, the loader would take a copy lying
// beside the program (in Downloads, say) before any of our code ran.
HMODULE CommonControls() {
    static const HMODULE library = LoadSystemLibrary("comctl32.dll");
    return library;
}

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kDialogExStyle = WS_EX_APPWINDOW;

// An empty dialog template: no menu, the dialog class, no title, no
// controls; the window is sized and filled once it exists.
std::vector<WORD> EmptyDialogTemplate() {
    return {LOWORD(kDialogStyle),
            HIWORD(kDialogStyle),
            LOWORD(kDialogExStyle),
            HIWORD(kDialogExStyle),
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0};
}

// Centres a window of the layout's client size on the work area.
void SizeAndCentre(HWND dialog, int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PointerOver(HWND dialog) {
    POINT at{};
    if (::GetCursorPos(&at) == FALSE) {
        return false;
    }
    HWND under = ::WindowFromPoint(at);
    return under == dialog || (under != nullptr && ::IsChild(dialog, under) != FALSE);
}

}  // namespace

Win32MainWindowView::Win32MainWindowView(HINSTANCE instance) : instance_(instance) {}

Win32MainWindowView::~Win32MainWindowView() {
    Destroy();
    if (appPointer_ != MousePointer::Default) {
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    }
}

Hwnd Win32MainWindowView::Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) {
    Destroy();
    // The tab control and the tooltips; every comctl32 has this call.
    using InitFunction = void(WINAPI*)();
    if (const auto init = LookUp<InitFunction>(CommonControls(), "InitCommonControls")) {
        init();
    }
    scale_ = Win32TwipScale::Screen();
    fonts_ = std::make_unique<Win32DialogFonts>(windowLayout.fontName, windowLayout.fontPoints,
                                                scale_.DotsPerInch());
    hand_ = MakeCursorFromImage(instance_, windowLayout.linkPointer, windowLayout.linkPointerHotX,
                                windowLayout.linkPointerHotY);
    bigIcon_ = MakeIconFromImage(windowLayout.icon32);
    smallIcon_ = MakeIconFromImage(windowLayout.icon16);

    const std::vector<WORD> empty = EmptyDialogTemplate();
    HWND dialog =
        ::CreateDialogIndirectParamA(instance_, reinterpret_cast<LPCDLGTEMPLATEA>(empty.data()),
                                     nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog == nullptr) {
        Destroy();
        return 0;
    }
    dialog_ = dialog;
    SetWindowTextUtf8(dialog, windowLayout.title);
    ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    ::SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(smallIcon_ != nullptr ? smallIcon_ : bigIcon_));
    ::SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->Get(false, false)), FALSE);
    SizeAndCentre(dialog, scale_.ToPixels(windowLayout.clientWidth),
                  scale_.ToPixels(windowLayout.clientHeight));
    controls_ =
        BuildMainWindowControls(ControlBuild{dialog, instance_, windowLayout, scale_, *fonts_,
                                             bigIcon_ != nullptr ? bigIcon_ : smallIcon_});
    for (const auto& [id, control] : controls_) {
        switch (control.layout.kind) {
            case ControlKind::TabControl:
            case ControlKind::LinkLabel:
            case ControlKind::Picture:
                Subclass(control.window);
                break;
            default:
                break;
        }
    }
    events_ = &events;
    return FromWin(dialog);
}

// The logic may destroy the window from inside one of its own events (a
// button's click): nothing here runs on in the destroyed window's handlers,
// which find no view once the dialog's link to it is cut.
void Win32MainWindowView::Destroy() {
    HWND dialog = dialog_;
    events_ = nullptr;
    dialog_ = nullptr;
    pressedLink_ = nullptr;
    if (dialog != nullptr) {
        ::SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
        ::DestroyWindow(dialog);
    }
    controls_.clear();
    if (hand_ != nullptr) {
        if (::GetCursor() == hand_) {
            ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        }
        ::DestroyCursor(hand_);
        hand_ = nullptr;
    }
    for (HICON* icon : {&bigIcon_, &smallIcon_}) {
        if (*icon != nullptr) {
            ::DestroyIcon(*icon);
            *icon = nullptr;
        }
    }
    fonts_.reset();
    windowPointer_ = MousePointer::Default;
    hiddenMinimized_ = false;
    settingState_ = false;
}

// A shown window becomes the program's active window, as the system's show
// does; that it became so is reported at once.
void Win32MainWindowView::Show() {
    if (dialog_ == nullptr) {
        return;
    }
    const bool wasHidden = ::IsWindowVisible(dialog_) == FALSE;
    if (wasHidden) {
        ::ShowWindow(dialog_, hiddenMinimized_ ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    }
    if (dialog_ == nullptr) {
        return;  // destroyed by an event of the showing
    }
    ::SetForegroundWindow(dialog_);
    if (wasHidden) {
        if (MainWindowEvents* events = Listener()) {
            events->Form_Activate();
        }
    }
}

void Win32MainWindowView::Hide() {
    if (dialog_ != nullptr && ::IsWindowVisible(dialog_) != FALSE) {
        hiddenMinimized_ = ::IsIconic(dialog_) != FALSE;
        ::ShowWindow(dialog_, SW_HIDE);
    }
}

// Neither state shows a hidden window: its state is kept until it shows. The
// logic runs its own resize rule after a change it made, so the system's
// report of it is kept from the logic.
void Win32MainWindowView::SetWindowState(WindowState state) {
    if (dialog_ == nullptr) {
        return;
    }
    const bool minimize = state == WindowState::Minimized;
    if (::IsWindowVisible(dialog_) == FALSE) {
        hiddenMinimized_ = minimize;
        return;
    }
    if ((::IsIconic(dialog_) != FALSE) == minimize) {
        return;
    }
    settingState_ = true;
    ::ShowWindow(dialog_, minimize ? SW_MINIMIZE : SW_RESTORE);
    settingState_ = false;
}

WindowState Win32MainWindowView::GetWindowState() {
    if (dialog_ == nullptr) {
        return WindowState::Normal;
    }
    const bool minimized =
        ::IsWindowVisible(dialog_) != FALSE ? ::IsIconic(dialog_) != FALSE : hiddenMinimized_;
    return minimized ? WindowState::Minimized : WindowState::Normal;
}

void Win32MainWindowView::SetMousePointer(MousePointer pointer) {
    windowPointer_ = pointer;
    if (dialog_ != nullptr && appPointer_ == MousePointer::Default && PointerOver(dialog_)) {
        HCURSOR cursor = CursorFor(pointer);
        ::SetCursor(cursor != nullptr ? cursor : ::LoadCursor(nullptr, IDC_ARROW));
    }
}

void Win32MainWindowView::SetApplicationMousePointer(MousePointer pointer) {
    appPointer_ = pointer;
    HCURSOR cursor = CursorFor(pointer);
    ::SetCursor(cursor != nullptr ? cursor : ::LoadCursor(nullptr, IDC_ARROW));
}

// Windows 95 and NT 4 without a newer comctl32 lack the call: it is looked
// up, and its absence is a failure.
bool Win32MainWindowView::InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) {
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = LookUp<InitFunction>(CommonControls(), "InitCommonControlsEx");
    if (init == nullptr) {
        return false;
    }
    const INITCOMMONCONTROLSEX request{size, classes};
    return init(&request) != FALSE;
}

HCURSOR Win32MainWindowView::CursorFor(MousePointer pointer) const {
    switch (pointer) {
        case MousePointer::Hand:
            return hand_ != nullptr ? hand_ : ::LoadCursor(nullptr, IDC_ARROW);
        case MousePointer::Hourglass:
            return ::LoadCursor(nullptr, IDC_WAIT);
        case MousePointer::Default:
            break;
    }
    return nullptr;
}

}  // namespace ww::platform
