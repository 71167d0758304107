#include "platform/sim/SimMainWindowView.h"

#include <cstdio>

namespace ww::platform {
namespace {

const char* PointerName(MousePointer pointer) {
    switch (pointer) {
        case MousePointer::Hand:
            return "Hand";
        case MousePointer::Hourglass:
            return "Hourglass";
        case MousePointer::Default:
            break;
    }
    return "Default";
}

std::string Named(std::string_view call, MainControl control) {
    return std::string(call) + "(" + MainControlName(control);
}

}  // namespace

SimMainWindowView::~SimMainWindowView() {
    if (window_ != 0) {
        table_.Destroy(window_);
    }
}

Hwnd SimMainWindowView::Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) {
    log_.Add("CreateMainWindow");
    if (window_ != 0) {
        Destroy();
    }
    windowLayout_ = windowLayout;
    events_ = &events;
    window_ = table_.Create(
        [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{0}; });
    controls_.clear();
    controls_[MainControl::Window] = Control{
        ControlKind::Panel, windowLayout.title, 0, 0, windowLayout.clientWidth, false, false};
    for (const auto& layout : windowLayout.controls) {
        Control& control = controls_[layout.id];
        control.kind = layout.kind;
        control.text = layout.caption;
        control.left = layout.left;
        control.autoSize = layout.autoSize;
        control.width = layout.autoSize ? TextWidth(layout.caption) : layout.width;
    }
    shown_ = false;
    state_ = WindowState::Normal;
    pointer_ = MousePointer::Default;
    ++creates_;
    return window_;
}

void SimMainWindowView::Destroy() {
    log_.Add("DestroyMainWindow");
    if (window_ == 0) {
        return;
    }
    const Hwnd window = window_;
    window_ = 0;
    events_ = nullptr;
    controls_.clear();
    shown_ = false;
    table_.Destroy(window);
}

void SimMainWindowView::Show() {
    log_.Add("ShowMainWindow");
    if (window_ == 0 || shown_) {
        return;
    }
    shown_ = true;
    events_->Form_Activate();
}

void SimMainWindowView::Hide() {
    log_.Add("HideMainWindow");
    shown_ = false;
}

void SimMainWindowView::SetWindowState(WindowState state) {
    log_.Add("SetWindowState(" + std::to_string(static_cast<int>(state)) + ")");
    if (window_ != 0) {
        state_ = state;
    }
}

void SimMainWindowView::SetText(MainControl control, std::string_view text) {
    log_.Add(Named("SetText", control) + ", " + SimLog::Quote(text) + ")");
    if (Control* found = Find(control)) {
        found->text = text;
        if (found->autoSize) {
            found->width = TextWidth(text);
        }
    }
}

std::string SimMainWindowView::GetText(MainControl control) {
    const Control* found = Find(control);
    return found == nullptr ? std::string() : found->text;
}

void SimMainWindowView::SetCheck(MainControl control, int state) {
    log_.Add(Named("SetCheck", control) + ", " + std::to_string(state) + ")");
    if (Control* found = Find(control)) {
        found->check = state;
    }
}

int SimMainWindowView::GetCheck(MainControl control) {
    const Control* found = Find(control);
    return found == nullptr ? 0 : found->check;
}

int SimMainWindowView::GetLeft(MainControl control) {
    const Control* found = Find(control);
    return found == nullptr ? 0 : found->left;
}

int SimMainWindowView::GetWidth(MainControl control) {
    const Control* found = Find(control);
    return found == nullptr ? 0 : found->width;
}

void SimMainWindowView::SetLeft(MainControl control, int twips) {
    log_.Add(Named("SetLeft", control) + ", " + std::to_string(twips) + ")");
    if (Control* found = Find(control)) {
        found->left = twips;
    }
}

void SimMainWindowView::SetBackColorButtonFace(MainControl control) {
    log_.Add(Named("SetBackColorButtonFace", control) + ")");
    if (Control* found = Find(control)) {
        found->buttonFace = true;
    }
}

void SimMainWindowView::SetEnabled(MainControl control, bool enabled) {
    log_.Add(Named("SetEnabled", control) + ", " + (enabled ? "true" : "false") + ")");
    if (Control* found = Find(control)) {
        found->enabled = enabled;
    }
}

void SimMainWindowView::SetMousePointer(MousePointer pointer) {
    log_.Add(std::string("SetMousePointer(") + PointerName(pointer) + ")");
    if (window_ != 0) {
        pointer_ = pointer;
    }
}

void SimMainWindowView::SetApplicationMousePointer(MousePointer pointer) {
    log_.Add(std::string("SetApplicationMousePointer(") + PointerName(pointer) + ")");
    applicationPointer_ = pointer;
}

bool SimMainWindowView::InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", classes);
    log_.Add("InitCommonControlsEx(" + std::to_string(size) + ", " + flags + ")");
    return true;
}

bool SimMainWindowView::UserClick(MainControl control) {
    Control* found = Find(control);
    if (found == nullptr || !found->enabled) {
        return false;
    }
    if (found->kind == ControlKind::CheckBox) {
        found->check = found->check == 0 ? 1 : 0;
    }
    events_->Click(control);
    return true;
}

bool SimMainWindowView::UserMinimize() {
    if (window_ == 0) {
        return false;
    }
    state_ = WindowState::Minimized;
    events_->Form_Resize();
    return true;
}

bool SimMainWindowView::UserClose() {
    if (window_ == 0) {
        return false;
    }
    events_->Form_Close();
    return true;
}

bool SimMainWindowView::UserMouseMove(MainControl control) {
    if (window_ == 0) {
        return false;
    }
    events_->MouseMove(control);
    return true;
}

bool SimMainWindowView::UserMouseDown(MainControl control, int button, int shift) {
    if (window_ == 0) {
        return false;
    }
    events_->MouseDown(control, button, shift);
    return true;
}

bool SimMainWindowView::Activate() {
    if (window_ == 0) {
        return false;
    }
    events_->Form_Activate();
    return true;
}

bool SimMainWindowView::Enabled(MainControl control) const {
    const auto found = controls_.find(control);
    return found != controls_.end() && found->second.enabled;
}

bool SimMainWindowView::OnButtonFace(MainControl control) const {
    const auto found = controls_.find(control);
    return found != controls_.end() && found->second.buttonFace;
}

SimMainWindowView::Control* SimMainWindowView::Find(MainControl control) {
    const auto found = controls_.find(control);
    return found == controls_.end() ? nullptr : &found->second;
}

// Characters, not bytes: UTF-8 continuation bytes do not count.
int SimMainWindowView::TextWidth(std::string_view text) {
    int characters = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    return characters * kTwipsPerCharacter;
}

}  // namespace ww::platform
