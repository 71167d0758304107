#pragma once

#include <cstdint>

// Handle and message types of the ports. They keep the widths of the Windows
// values they stand for (32-bit handles and messages), so the logic can be
// written once against them and the Win32 backend passes them straight through.
// Names avoid the Windows macro spellings (WM_DESTROY...), which windows.h
// would rewrite inside the Win32 backend.
namespace ww::platform {

using Hwnd = std::uint32_t;    // a window; 0 is "no window"
using Handle = std::uint32_t;  // a kernel object; 0 is "none"
using HIcon = std::uint32_t;   // an icon made by NotifyIcon::CreateIconFromImage; 0 is "none"

// A window procedure, as SetWindowLongA(GWL_WNDPROC) installs it.
using WndProc = std::intptr_t (*)(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam);

namespace msg {
inline constexpr std::uint32_t kDestroy = 0x0002;        // WM_DESTROY
inline constexpr std::uint32_t kNcDestroy = 0x0082;      // WM_NCDESTROY
inline constexpr std::uint32_t kMouseMove = 0x0200;      // WM_MOUSEMOVE, the tray callback
inline constexpr std::uint32_t kSysCommand = 0x0112;     // WM_SYSCOMMAND
inline constexpr std::uintptr_t kScScreenSave = 0xF140;  // SC_SCREENSAVE (wParam)
inline constexpr std::uint32_t kLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kRButtonDown = 0x0204;
}  // namespace msg

inline constexpr int kGwlWndProc = -4;  // GWL_WNDPROC

}  // namespace ww::platform
