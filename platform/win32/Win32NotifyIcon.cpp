#include "platform/win32/Win32NotifyIcon.h"

#include "platform/win32/Win32Calls.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/SystemCodePage.h"

namespace ww::platform {
namespace {

constexpr std::size_t kTipBytes = sizeof(NotifyIconData::szTip) - 1;

// A 4-bit DIB header with the standard palette.
struct PaletteDib {
    BITMAPINFOHEADER header;
    RGBQUAD colours[16];
};

HBITMAP MakeMask(const IconImage& image) {
    const auto size = static_cast<std::size_t>(image.size);
    const std::size_t stride = (size + 15) / 16 * 2;  // rows of whole 16-bit words
    std::vector<BYTE> bits(stride * size, 0);
    for (std::size_t y = 0; y < size; ++y) {
        for (std::size_t x = 0; x < size; ++x) {
            if (image.pixels[y * size + x] == kTransparent) {
                bits[y * stride + x / 8] |= static_cast<BYTE>(0x80U >> (x % 8));
            }
        }
    }
    return CreateBitmap(image.size, image.size, 1, 1, bits.data());
}

HBITMAP MakeColour(const IconImage& image) {
    const auto size = static_cast<std::size_t>(image.size);
    const std::size_t stride = (size * 4 + 31) / 32 * 4;  // rows of whole 32-bit words
    std::vector<BYTE> bits(stride * size, 0);
    for (std::size_t y = 0; y < size; ++y) {
        const std::size_t row = (size - 1 - y) * stride;  // bottom-up
        for (std::size_t x = 0; x < size; ++x) {
            const std::uint8_t index = image.pixels[y * size + x];
            // Transparent pixels are black, so that the mask leaves the screen as it is.
            const auto value = static_cast<BYTE>(index == kTransparent ? 0 : index);
            bits[row + x / 2] |= static_cast<BYTE>(x % 2 == 0 ? value << 4 : value);
        }
    }
    PaletteDib dib{};
    dib.header.biSize = sizeof(BITMAPINFOHEADER);
    dib.header.biWidth = image.size;
    dib.header.biHeight = image.size;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = 4;
    dib.header.biCompression = BI_RGB;
    dib.header.biClrUsed = 16;
    for (std::size_t i = 0; i < kStandardPalette.size(); ++i) {
        const std::uint32_t rgb = kStandardPalette[i];
        dib.colours[i] =
            RGBQUAD{static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                    static_cast<BYTE>((rgb >> 16) & 0xFF), 0};
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &dib.header, CBM_INIT, bits.data(),
                                    reinterpret_cast<const BITMAPINFO*>(&dib), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace

std::array<char, 64> TipField(const NotifyIconData& data) {
    const std::string ansi = ToCodePageWithin(TipText(data), CP_ACP, kTipBytes);
    std::array<char, 64> tip{};
    tip.fill(' ');
    std::copy(ansi.begin(), ansi.end(), tip.begin());
    tip[ansi.size()] = '\0';
    return tip;
}

Win32NotifyIcon::~Win32NotifyIcon() {
    for (HIcon icon : icons_) {
        DestroyIcon(ToWin<HICON>(icon));
    }
}

bool Win32NotifyIcon::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
    // The record goes to the shell in its first, 88-byte form, whatever the
    // headers' NOTIFYICONDATAA has grown to: the size field says which form.
    NOTIFYICONDATAA record{};
    record.cbSize = data.cbSize;
    record.hWnd = ToWin<HWND>(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = data.uCallbackMessage;
    record.hIcon = ToWin<HICON>(data.hIcon);
    if ((data.uFlags & nif::kTip) != 0) {
        const std::array<char, 64> tip = TipField(data);
        std::memcpy(record.szTip, tip.data(), tip.size());
    }
    const bool ok = ::Shell_NotifyIconA(message, &record) != FALSE;
    TraceRequest(message, ok, data);
    return ok;
}

HIcon Win32NotifyIcon::CreateIconFromImage(const IconImage& image) {
    if (!IsValidIconImage(image)) {
        return 0;
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = MakeMask(image);
    info.hbmColor = MakeColour(image);
    HICON icon = nullptr;
    if (info.hbmMask != nullptr && info.hbmColor != nullptr) {
        icon = CreateIconIndirect(&info);
    }
    // The icon holds copies of both bitmaps.
    if (info.hbmMask != nullptr) {
        DeleteObject(info.hbmMask);
    }
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    if (icon == nullptr) {
        return 0;
    }
    icons_.push_back(FromWin(icon));
    return icons_.back();
}

void Win32NotifyIcon::TraceRequest(std::uint32_t message, bool ok,
                                   const NotifyIconData& data) const {
    if (trace_ == nullptr || !trace_->Enabled()) {
        return;
    }
    const char* what = message == nim::kAdd      ? "add"
                       : message == nim::kModify ? "modify"
                       : message == nim::kDelete ? "delete"
                                                 : "other";
    std::string line = std::string("notify ") + what + (ok ? " ok" : " fail");
    const bool add = message == nim::kAdd;
    const bool modify = message == nim::kModify;
    if (add || (modify && (data.uFlags & nif::kIcon) != 0)) {
        line += " hIcon=" + std::to_string(data.hIcon);
    }
    if (add || (modify && (data.uFlags & nif::kTip) != 0)) {
        line += " tip=" + Win32Trace::Quote(TipText(data));
    }
    trace_->Write(line);
}

}  // namespace ww::platform
