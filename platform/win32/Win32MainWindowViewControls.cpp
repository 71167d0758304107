// Win32MainWindowView: the controls' texts, states and places.
#include "platform/win32/Win32MainWindowView.h"

namespace ww::platform {

void Win32MainWindowView::SetText(MainControl control, std::string_view text) {
    if (control == MainControl::Window) {
        if (dialog_ != nullptr) {
            SetWindowTextUtf8(dialog_, text);
        }
        return;
    }
    BuiltControl* found = Find(control);
    if (found == nullptr || found->layout.kind == ControlKind::TabControl) {
        return;
    }
    SetWindowTextUtf8(found->window, text);
    if (found->layout.autoSize) {
        PlaceControl(controls_, control, scale_);
    }
}

std::string Win32MainWindowView::GetText(MainControl control) {
    HWND window = ControlWindow(control);
    if (window == nullptr) {
        return {};
    }
    return control == MainControl::SSTab1 ? std::string() : GetWindowTextUtf8(window);
}

void Win32MainWindowView::SetCheck(MainControl control, int state) {
    // Only the user's clicks are reported; a state set here says nothing.
    BuiltControl* found = Find(control);
    if (found != nullptr && found->layout.kind == ControlKind::CheckBox) {
        const WPARAM check = state == 0   ? BST_UNCHECKED
                             : state == 2 ? BST_INDETERMINATE
                                          : BST_CHECKED;
        ::SendMessageA(found->window, BM_SETCHECK, check, 0);
    }
}

int Win32MainWindowView::GetCheck(MainControl control) {
    BuiltControl* found = Find(control);
    if (found == nullptr || found->layout.kind != ControlKind::CheckBox) {
        return 0;
    }
    switch (::SendMessageA(found->window, BM_GETCHECK, 0, 0)) {
        case BST_CHECKED:
            return 1;
        case BST_INDETERMINATE:
            return 2;
        default:
            return 0;
    }
}

int Win32MainWindowView::GetLeft(MainControl control) {
    BuiltControl* found = Find(control);
    return found != nullptr ? found->layout.left : 0;
}

int Win32MainWindowView::GetWidth(MainControl control) {
    BuiltControl* found = Find(control);
    if (found == nullptr) {
        return 0;
    }
    if (!found->layout.autoSize) {
        return found->layout.width;
    }
    RECT rect{};
    ::GetWindowRect(found->window, &rect);
    return scale_.ToTwips(rect.right - rect.left);
}

void Win32MainWindowView::SetLeft(MainControl control, int twips) {
    if (BuiltControl* found = Find(control)) {
        found->layout.left = twips;
        PlaceControl(controls_, control, scale_);
    }
}

void Win32MainWindowView::SetBackColorButtonFace(MainControl control) {
    if (BuiltControl* found = Find(control)) {
        found->buttonFace = true;
        ::InvalidateRect(found->window, nullptr, TRUE);
    }
}

void Win32MainWindowView::SetEnabled(MainControl control, bool enabled) {
    if (BuiltControl* found = Find(control)) {
        ::EnableWindow(found->window, enabled ? TRUE : FALSE);
    }
}

HWND Win32MainWindowView::ControlWindow(MainControl control) const {
    if (control == MainControl::Window) {
        return dialog_;
    }
    const auto found = controls_.find(control);
    return found != controls_.end() ? found->second.window : nullptr;
}

BuiltControl* Win32MainWindowView::Find(MainControl control) {
    const auto found = controls_.find(control);
    return found != controls_.end() ? &found->second : nullptr;
}

const BuiltControl* Win32MainWindowView::FindWindow(HWND window) const {
    for (const auto& [id, control] : controls_) {
        if (control.window == window) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace ww::platform
