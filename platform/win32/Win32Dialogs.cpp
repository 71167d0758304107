#include "platform/win32/Win32Dialogs.h"

#include "platform/win32/Win32Calls.h"

#include <string>

#include "platform/win32/SystemCodePage.h"

namespace ww::platform {

int Win32Dialogs::MsgBox(std::string_view text, std::uint32_t style, std::string_view title) {
    if (trace_.Enabled()) {
        trace_.Write("msgbox " + Win32Trace::Quote(title) + " " + Win32Trace::Quote(text));
    }
    const std::string ansiText = ToSystemCodePage(text);
    const std::string ansiTitle = ToSystemCodePage(title);
    // Without an owner the box could open behind other programs' windows.
    const int answer =
        MessageBoxA(nullptr, ansiText.c_str(), ansiTitle.c_str(), style | MB_SETFOREGROUND);
    trace_.Write("msgbox-closed " + std::to_string(answer));
    return answer;
}

}  // namespace ww::platform
