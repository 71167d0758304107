// Win32MainWindowView: what the dialog and its controls report to the logic.
#include "platform/win32/Win32MainWindowView.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace ww::platform {
namespace {

constexpr const char* kOriginalProc = "WakewatchOriginalProc";

// The live main windows of this thread and the hook that gives them their keys.
std::vector<HWND>& Dialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}
HHOOK keyHook = nullptr;

// The run-time's button and shift-state numbers.
int ButtonNumber(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return 4;
        default:
            return 0;
    }
}

int ShiftState(WPARAM keys) {
    return ((keys & MK_SHIFT) != 0 ? 1 : 0) | ((keys & MK_CONTROL) != 0 ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

bool Inside(HWND window, LPARAM position) {
    RECT client{};
    ::GetClientRect(window, &client);
    const POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    return ::PtInRect(&client, at) != FALSE;
}

}  // namespace

// The dialog is the view's while the view's handle names it; before Create
// returns and once Destroy has begun, nothing reaches the view.
INT_PTR CALLBACK Win32MainWindowView::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        Dialogs().push_back(dialog);
        if (keyHook == nullptr) {
            keyHook = ::SetWindowsHookExA(WH_GETMESSAGE, KeyHook, nullptr, ::GetCurrentThreadId());
        }
        return FALSE;  // no focus yet: the window is hidden
    }
    if (message == WM_NCDESTROY) {
        auto& dialogs = Dialogs();
        dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
        if (dialogs.empty() && keyHook != nullptr) {
            ::UnhookWindowsHookEx(keyHook);
            keyHook = nullptr;
        }
        return FALSE;
    }
    auto* view = reinterpret_cast<Win32MainWindowView*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (view == nullptr || view->dialog_ != dialog) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    return view->OnDialogMessage(message, wParam, lParam, result) ? result : FALSE;
}

bool Win32MainWindowView::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          INT_PTR& result) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            result = TRUE;
            return true;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == TCN_SELCHANGE &&
                header->hwndFrom == ControlWindow(MainControl::SSTab1)) {
                OnTabChanged();
            }
            return false;
        }
        case WM_CLOSE:
            // The title bar's close: the logic decides what becomes of the window.
            if (MainWindowEvents* events = Listener()) {
                events->Form_Close();
            }
            result = TRUE;
            return true;
        case WM_SIZE:
            if (!settingState_) {
                if (MainWindowEvents* events = Listener()) {
                    events->Form_Resize();
                }
            }
            return false;
        case WM_MOUSEMOVE:
            if (MainWindowEvents* events = Listener()) {
                events->MouseMove(MainControl::Window);
            }
            return false;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
                ::SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, TRUE);
                result = TRUE;
                return true;
            }
            return false;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = OnControlColour(reinterpret_cast<HDC>(wParam),
                                               reinterpret_cast<HWND>(lParam))) {
                result = reinterpret_cast<INT_PTR>(brush);
                return true;
            }
            return false;
        default:
            return false;
    }
}

// Buttons report their clicks; so do check boxes, after they changed their
// state: a click ticks an unticked box and unticks a ticked or greyed one.
// Enter and Escape arrive here as the clicks of the default and cancel buttons.
void Win32MainWindowView::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) {
        return;
    }
    const BuiltControl* clicked = nullptr;
    for (const auto& [control, built] : controls_) {
        if (ControlId(built.layout) == id) {
            clicked = &built;
        }
    }
    if (clicked == nullptr || ::IsWindowEnabled(clicked->window) == FALSE) {
        return;
    }
    const MainControl control = clicked->layout.id;
    if (clicked->layout.kind == ControlKind::CheckBox) {
        const bool unticked = ::SendMessageA(clicked->window, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
        ::SendMessageA(clicked->window, BM_SETCHECK, unticked ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (clicked->layout.kind != ControlKind::Button) {
        return;
    }
    if (MainWindowEvents* events = Listener()) {
        events->Click(control);
    }
}

void Win32MainWindowView::OnTabChanged() {
    HWND tabs = ControlWindow(MainControl::SSTab1);
    const auto page = static_cast<int>(::SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    if (page >= 0) {
        ShowPage(controls_, page);
    }
}

// The application's pointer holds everywhere over the window; the window's
// own pointer holds over its client areas, except inside text fields.
bool Win32MainWindowView::OnSetCursor(HWND under, int hitTest) {
    const MousePointer pointer =
        appPointer_ != MousePointer::Default ? appPointer_ : windowPointer_;
    if (pointer == MousePointer::Default) {
        return false;
    }
    if (appPointer_ == MousePointer::Default) {
        const BuiltControl* control = FindWindow(under);
        if (hitTest != HTCLIENT ||
            (control != nullptr && control->layout.kind == ControlKind::TextField)) {
            return false;
        }
    }
    ::SetCursor(CursorFor(pointer));
    return true;
}

HBRUSH Win32MainWindowView::OnControlColour(HDC dc, HWND window) {
    const BuiltControl* control = FindWindow(window);
    if (control == nullptr) {
        return nullptr;
    }
    const ControlLayout& layout = control->layout;
    if (layout.kind == ControlKind::TextField) {
        // A field is white, read-only or not, until the logic puts it on the button face.
        const int background = control->buttonFace ? COLOR_BTNFACE : COLOR_WINDOW;
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(background));
        return ::GetSysColorBrush(background);
    }
    const std::int32_t colour = layout.foreColor >= 0                   ? layout.foreColor
                                : layout.kind == ControlKind::LinkLabel ? 0x0000FF
                                                                        : -1;
    if (colour < 0 && !control->buttonFace) {
        return nullptr;
    }
    if (colour >= 0) {
        const auto rgb = static_cast<std::uint32_t>(colour);
        ::SetTextColor(dc, RGB((rgb >> 16) & 0xFFU, (rgb >> 8) & 0xFFU, rgb & 0xFFU));
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

void Win32MainWindowView::Subclass(HWND window) {
    ::SetPropA(window, kOriginalProc,
               reinterpret_cast<HANDLE>(::GetWindowLongPtrA(window, GWLP_WNDPROC)));
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc));
}

LRESULT CALLBACK Win32MainWindowView::ControlProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(::GetPropA(window, kOriginalProc));
    HWND dialog = ::GetParent(window);
    auto* view = reinterpret_cast<Win32MainWindowView*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (view != nullptr && view->dialog_ == dialog &&
        view->OnControlMessage(window, message, wParam, lParam) && ::IsWindow(window) == FALSE) {
        return 0;  // the logic destroyed the window
    }
    if (message == WM_NCDESTROY) {
        ::RemovePropA(window, kOriginalProc);
    }
    return original != nullptr ? ::CallWindowProcA(original, window, message, wParam, lParam)
                               : ::DefWindowProcA(window, message, wParam, lParam);
}

// Moves over the tab control and the links; presses on the picture; a link's
// click is a left press and release on it. True when the logic heard of it.
bool Win32MainWindowView::OnControlMessage(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    const BuiltControl* control = FindWindow(window);
    MainWindowEvents* events = Listener();
    if (control == nullptr || events == nullptr) {
        return false;
    }
    const MainControl id = control->layout.id;
    const bool picture = control->layout.kind == ControlKind::Picture;
    const bool link = control->layout.kind == ControlKind::LinkLabel;
    switch (message) {
        case WM_MOUSEMOVE:
            if (picture) {
                return false;
            }
            events->MouseMove(id);
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            if (picture) {
                events->MouseDown(id, ButtonNumber(message), ShiftState(wParam));
                return true;
            }
            if (link && ButtonNumber(message) == 1) {
                pressedLink_ = window;
                ::SetCapture(window);
            }
            return false;
        case WM_LBUTTONUP:
            if (link && pressedLink_ == window) {
                pressedLink_ = nullptr;
                if (::GetCapture() == window) {
                    ::ReleaseCapture();
                }
                if (Inside(window, lParam)) {
                    events->Click(id);
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

// The dialog manager's keys (Tab, Enter, Escape, arrows, access keys) for
// the main window, taken from the queue before the message loop sees them.
LRESULT CALLBACK Win32MainWindowView::KeyHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
            const std::vector<HWND> dialogs = Dialogs();
            for (HWND dialog : dialogs) {
                const bool ours =
                    message->hwnd == dialog || ::IsChild(dialog, message->hwnd) != FALSE;
                if (ours && ::IsDialogMessageA(dialog, message) != FALSE) {
                    message->message = WM_NULL;
                    break;
                }
            }
        }
    }
    return ::CallNextHookEx(keyHook, code, wParam, lParam);
}

}  // namespace ww::platform
