#include "platform/sim/SimNotifyIcon.h"

namespace ww::platform {
namespace {

std::string MessageName(std::uint32_t message) {
    switch (message) {
        case nim::kAdd:
            return "NIM_ADD";
        case nim::kModify:
            return "NIM_MODIFY";
        case nim::kDelete:
            return "NIM_DELETE";
        default:
            return std::to_string(message);
    }
}

}  // namespace

bool SimNotifyIcon::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
    log_.Add("Shell_NotifyIconA(" + MessageName(message) + ", hWnd=" + std::to_string(data.hWnd) +
             ", uID=" + std::to_string(data.uID) + ", uFlags=" + std::to_string(data.uFlags) +
             ", uCallbackMessage=" + std::to_string(data.uCallbackMessage) + ", hIcon=" +
             std::to_string(data.hIcon) + ", szTip=" + SimLog::Quote(TipText(data)) + ")");
    bool succeeded = false;
    if (failArmed_ && (!failNext_ || *failNext_ == message)) {
        failArmed_ = false;
    } else {
        succeeded = hostPresent_ && Apply(message, data);
    }
    requests_.push_back({message, data, succeeded});
    return succeeded;
}

bool SimNotifyIcon::Apply(std::uint32_t message, const NotifyIconData& data) {
    const IconKey key{data.hWnd, data.uID};
    auto it = icons_.find(key);
    if (message == nim::kDelete) {
        if (it == icons_.end()) {
            return false;
        }
        icons_.erase(it);
        return true;
    }
    if (message == nim::kAdd) {
        if (it != icons_.end()) {
            return false;
        }
        it = icons_.emplace(key, TrayIcon{}).first;
    } else if (message != nim::kModify || it == icons_.end()) {
        return false;
    }
    if (data.uFlags & nif::kMessage) {
        it->second.callbackMessage = data.uCallbackMessage;
    }
    if (data.uFlags & nif::kIcon) {
        it->second.hIcon = data.hIcon;
    }
    if (data.uFlags & nif::kTip) {
        it->second.tip = TipText(data);
    }
    return true;
}

HIcon SimNotifyIcon::CreateIconFromImage(const IconImage& image) {
    log_.Add("CreateIconFromImage(" + std::to_string(image.size) + ")");
    if (iconFails_ || !IsValidIconImage(image)) {
        return 0;
    }
    const HIcon handle = ++lastIcon_;
    images_[handle] = image;
    return handle;
}

const SimNotifyIcon::TrayIcon* SimNotifyIcon::Icon(Hwnd window, std::uint32_t id) const {
    auto it = icons_.find({window, id});
    return it == icons_.end() ? nullptr : &it->second;
}

const SimNotifyIcon::TrayIcon* SimNotifyIcon::OnlyIcon() const {
    return icons_.size() == 1 ? &icons_.begin()->second : nullptr;
}

void SimNotifyIcon::SetHostPresent(bool present) {
    hostPresent_ = present;
    if (!present) {
        icons_.clear();
    }
}

void SimNotifyIcon::RestartTaskbar() {
    icons_.clear();
    hostPresent_ = true;
    const std::uint32_t taskbarCreated = WindowTable::Register("TaskbarCreated");
    // Only top-level windows hear the broadcast: the forms, not their picture boxes.
    auto forms = forms_.TrayForms();
    for (const auto& form : forms) {
        table_.Send(form.form, taskbarCreated, 0, 0);
    }
}

bool SimNotifyIcon::ClickIcon(std::intptr_t code) {
    if (icons_.size() != 1) {
        return false;
    }
    const auto key = icons_.begin()->first;
    return ClickIcon(key.first, key.second, code);
}

bool SimNotifyIcon::ClickIcon(Hwnd window, std::uint32_t id, std::intptr_t code) {
    const TrayIcon* icon = Icon(window, id);
    if (icon == nullptr) {
        return false;
    }
    table_.Send(window, icon->callbackMessage, id, code);
    return true;
}

const IconImage* SimNotifyIcon::Image(HIcon icon) const {
    auto it = images_.find(icon);
    return it == images_.end() ? nullptr : &it->second;
}

}  // namespace ww::platform
