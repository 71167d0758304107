#pragma once

#include <array>
#include <vector>

#include "platform/ports/NotifyIcon.h"
#include "platform/win32/Win32Trace.h"

namespace ww::platform {

// The shell's notification-area icon: Shell_NotifyIconA with the 88-byte
// record, and icons made from the palette images with CreateIconIndirect.
class Win32NotifyIcon final : public NotifyIcon {
  public:
    Win32NotifyIcon() = default;
    explicit Win32NotifyIcon(Win32Trace& trace) : trace_(&trace) {}
    ~Win32NotifyIcon() override;
    Win32NotifyIcon(const Win32NotifyIcon&) = delete;
    Win32NotifyIcon& operator=(const Win32NotifyIcon&) = delete;

    bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
    HIcon CreateIconFromImage(const IconImage& image) override;

  private:
    void TraceRequest(std::uint32_t message, bool ok, const NotifyIconData& data) const;

    Win32Trace* trace_ = nullptr;
    std::vector<HIcon> icons_;  // destroyed with this object
};

// The tooltip of a request converted for the ANSI call: TipText in the ANSI
// code page, cut to 63 bytes between characters, then a NUL and blanks to the
// end of the field.
std::array<char, 64> TipField(const NotifyIconData& data);

}  // namespace ww::platform
