#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ports/IconImage.h"
#include "platform/ports/Types.h"

namespace ww::platform {

// NOTIFYICONDATAA in its first, 88-byte form, and beside it the tooltip as a
// whole. The field takes 63 bytes, which is 63 characters in a single-byte
// code page but fewer in UTF-8 or a double-byte code page; so szTip holds as
// much of the tip as fits, cut between characters, and `tip` the tip itself,
// which each backend encodes and, where its record is bounded, cuts again.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    Hwnd hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    HIcon hIcon = 0;
    char szTip[64] = {};
    std::string tip;  // UTF-8; empty: szTip alone says it
};

// cbSize of the record: NOTIFYICONDATAA in its first form, up to szTip.
inline constexpr std::uint32_t kNotifyIconDataSize = 88;

// The tooltip text of a request: `tip` when set, else szTip up to its NUL; a
// field without one yields its first 63 bytes.
inline std::string_view TipText(const NotifyIconData& data) {
    if (!data.tip.empty()) {
        return data.tip;
    }
    std::size_t n = 0;
    while (n + 1 < sizeof data.szTip && data.szTip[n] != '\0') {
        ++n;
    }
    return {data.szTip, n};
}

namespace nim {
inline constexpr std::uint32_t kAdd = 0;
inline constexpr std::uint32_t kModify = 1;
inline constexpr std::uint32_t kDelete = 2;
}  // namespace nim

namespace nif {
inline constexpr std::uint32_t kMessage = 1;
inline constexpr std::uint32_t kIcon = 2;
inline constexpr std::uint32_t kTip = 4;
}  // namespace nif

// The notification-area (tray) icon of the shell.
class NotifyIcon {
  public:
    virtual ~NotifyIcon() = default;

    // Shell_NotifyIconA: add, modify or delete the icon identified by
    // (data.hWnd, data.uID), using the fields named in data.uFlags. The tip is
    // TipText(data), UTF-8, up to 63 characters.
    // Returns true on success. Modify and delete fail when no such icon is in
    // the tray (never added, deleted, or lost with the tray host); add fails
    // when it cannot be shown. Mouse actions on an added icon are sent to
    // data.hWnd as data.uCallbackMessage with the mouse message code in lParam.
    virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) = 0;

    // Makes an icon from palette-indexed image data (CreateIconIndirect). The
    // image data must outlive the handle. Returns 0 on failure, and always for
    // an image that is not IsValidIconImage.
    virtual HIcon CreateIconFromImage(const IconImage& image) = 0;
};

}  // namespace ww::platform
