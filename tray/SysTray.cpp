#include "tray/SysTray.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ww::tray {
namespace {

// The window procedure is a plain function, as the system calls it; it
// reaches the tray through the one instance that installed the hook.
SysTray* g_hookedTray = nullptr;

bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// The length in bytes of `tip` cut to at most `limit` characters.
std::size_t CharacterCut(std::string_view tip, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t n = 0; n < tip.size(); ++n) {
        if (StartsCharacter(tip[n]) && characters++ == limit) {
            return n;
        }
    }
    return tip.size();
}

// The length of `tip` cut to at most `limit` bytes without splitting a
// UTF-8 character.
std::size_t ByteCut(std::string_view tip, std::size_t limit) {
    if (tip.size() <= limit) {
        return tip.size();
    }
    std::size_t n = limit;
    while (n > 0 && !StartsCharacter(tip[n])) {
        --n;
    }
    return n;
}

}  // namespace

SysTray::SysTray(platform::NotifyIcon& notifyIcon, platform::WindowMessages& windows,
                 std::function<TrayIconLook()> startupLook)
    : notifyIcon_(notifyIcon), windows_(windows), startupLook_(std::move(startupLook)) {}

SysTray::~SysTray() {
    if (g_hookedTray == this) {
        g_hookedTray = nullptr;
    }
}

void SysTray::LoadPictures(platform::Hwnd pictureBox) {
    pictureBox_ = pictureBox;
    for (std::size_t i = 0; i < kTrayPictureCount; ++i) {
        icons_[i] = notifyIcon_.CreateIconFromImage(PictureImage(static_cast<TrayPicture>(i)));
    }
}

platform::HIcon SysTray::IconHandle(TrayPicture picture) const {
    return icons_[static_cast<std::size_t>(picture)];
}

platform::NotifyIconData SysTray::MakeRecord(platform::Hwnd window, std::uint32_t flags,
                                             std::uint32_t callbackMessage, platform::HIcon icon,
                                             std::string_view tip, bool withTip) {
    platform::NotifyIconData data;
    data.cbSize = platform::kNotifyIconDataSize;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    if (withTip) {
        data.tip.assign(tip.substr(0, CharacterCut(tip, kTrayTipLength)));
        // What of it fits the field, its NUL, then blanks to the end of the field.
        const std::size_t n = ByteCut(data.tip, sizeof data.szTip - 1);
        std::memset(data.szTip, ' ', sizeof data.szTip);
        std::memcpy(data.szTip, data.tip.data(), n);
        data.szTip[n] = '\0';
    }
    return data;
}

void SysTray::AddTrayIcon(TrayPicture picture, std::string_view tipView) {
    // The tip may be a view of trayIconTip_ itself (the taskbar-restart path).
    const std::string tip(tipView);
    trayIconPicture_ = picture;
    trayIconTip_ = tip;
    const auto flags = platform::nif::kMessage | platform::nif::kIcon | platform::nif::kTip;
    notifyIcon_.Shell_NotifyIconA(
        platform::nim::kAdd,
        MakeRecord(pictureBox_, flags, kTrayCallbackMessage, IconHandle(picture), tip, true));
}

void SysTray::SetTrayTip(std::string_view tipView) {
    const std::string tip(tipView);
    trayIconTip_ = tip;
    const bool shown = notifyIcon_.Shell_NotifyIconA(
        platform::nim::kModify, MakeRecord(pictureBox_, platform::nif::kTip, 0, 0, tip, true));
    if (!shown) {
        // The icon is gone (the tray host lost it): put it back as at
        // start-up; the next tick's tooltip brings the uptime back.
        const TrayIconLook look = startupLook_();
        AddTrayIcon(look.picture, look.tip);
    }
}

void SysTray::SetTrayIcon(TrayPicture picture) {
    trayIconPicture_ = picture;
    notifyIcon_.Shell_NotifyIconA(
        platform::nim::kModify, MakeRecord(pictureBox_, platform::nif::kIcon, kTrayCallbackMessage,
                                           IconHandle(picture), {}, false));
}

void SysTray::RemoveTrayIcon() {
    notifyIcon_.Shell_NotifyIconA(platform::nim::kDelete,
                                  MakeRecord(pictureBox_, 0, 0, 0, {}, false));
}

void SysTray::HookTrayWindow(platform::Hwnd window) {
    hookedWindow_ = window;
    taskbarCreatedMessage_ = windows_.RegisterWindowMessageA("TaskbarCreated");
    if (taskbarCreatedMessage_ != 0) {
        g_hookedTray = this;
        previousWindowProc_ =
            windows_.SetWindowLongA(window, platform::kGwlWndProc, &TrayWindowProc);
    }
}

void SysTray::UnhookTrayWindow() {
    if (previousWindowProc_ != nullptr) {
        windows_.SetWindowLongA(hookedWindow_, platform::kGwlWndProc, previousWindowProc_);
    }
}

std::intptr_t SysTray::TrayWindowProc(platform::Hwnd window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    if (g_hookedTray == nullptr) {
        return 0;
    }
    return g_hookedTray->OnMessage(window, message, wParam, lParam);
}

std::intptr_t SysTray::OnMessage(platform::Hwnd window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == taskbarCreatedMessage_) {
        RemoveTrayIcon();
        AddTrayIcon(trayIconPicture_, trayIconTip_);
    }
    if ((message == platform::msg::kDestroy || message == platform::msg::kNcDestroy) &&
        previousWindowProc_ != nullptr) {
        windows_.SetWindowLongA(hookedWindow_, platform::kGwlWndProc, previousWindowProc_);
        return 0;
    }
    return windows_.CallWindowProcA(previousWindowProc_, window, message, wParam, lParam);
}

}  // namespace ww::tray
