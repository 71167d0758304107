#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ports/NotifyIcon.h"
#include "platform/ports/WindowMessages.h"
#include "tray/TrayPictures.h"

namespace ww::tray {

inline constexpr std::uint32_t kTrayIconId = 9999;
inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;  // arrives as a mouse move
inline constexpr std::size_t kTrayTipLength = 63;

// A picture and a tooltip for the icon.
struct TrayIconLook {
    TrayPicture picture = TrayPicture::imgSleeperDisabled_none;
    std::string tip;
};

// The program's single notification-area icon. Remembers the last picture
// and tooltip so it can put the icon back when the tray host is re-created,
// which it learns through a hook on the tray form's window procedure.
class SysTray {
  public:
    // `startupLook` is how the icon looks at start-up; it is asked again
    // whenever a lost icon has to be put back without a picture to hand.
    SysTray(platform::NotifyIcon& notifyIcon, platform::WindowMessages& windows,
            std::function<TrayIconLook()> startupLook);
    ~SysTray();
    SysTray(const SysTray&) = delete;
    SysTray& operator=(const SysTray&) = delete;

    // Makes the icon handles of the 17 pictures (the form loading its images)
    // and names the window the icon's requests and mouse messages use.
    void LoadPictures(platform::Hwnd pictureBox);

    void AddTrayIcon(TrayPicture picture, std::string_view tip);
    void SetTrayTip(std::string_view tip);
    void SetTrayIcon(TrayPicture picture);
    void RemoveTrayIcon();
    void HookTrayWindow(platform::Hwnd window);
    void UnhookTrayWindow();

    // The hook: re-adds the icon on "TaskbarCreated", restores the previous
    // procedure on WM_DESTROY / WM_NCDESTROY, passes everything else on.
    static std::intptr_t TrayWindowProc(platform::Hwnd window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam);

    TrayPicture Picture() const { return trayIconPicture_; }
    platform::HIcon IconHandle(TrayPicture picture) const;

    // The 88-byte request record (exposed for its layout tests).
    static platform::NotifyIconData MakeRecord(platform::Hwnd window, std::uint32_t flags,
                                               std::uint32_t callbackMessage, platform::HIcon icon,
                                               std::string_view tip, bool withTip);

  private:
    std::intptr_t OnMessage(platform::Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam);

    platform::NotifyIcon& notifyIcon_;
    platform::WindowMessages& windows_;
    std::function<TrayIconLook()> startupLook_;
    std::array<platform::HIcon, kTrayPictureCount> icons_{};
    platform::Hwnd pictureBox_ = 0;

    TrayPicture trayIconPicture_ = TrayPicture::imgSleeperDisabled_none;
    std::string trayIconTip_;
    std::uint32_t taskbarCreatedMessage_ = 0;
    platform::WndProc previousWindowProc_ = nullptr;
    platform::Hwnd hookedWindow_ = 0;
};

}  // namespace ww::tray
