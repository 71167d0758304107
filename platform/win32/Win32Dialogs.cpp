#include "platform/win32/Win32Dialogs.h"

#include "platform/win32/Win32Calls.h"

#include <string>
#include <string_view>

#include "platform/win32/SystemCodePage.h"

namespace ww::platform {
namespace {

// The first of the thread's dialog windows the enumeration meets comes to the front.
BOOL CALLBACK RaiseIfBox(HWND window, LPARAM) {
    char name[16] = {};
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 &&
        std::string_view(name) == "#32770") {
        SetForegroundWindow(window);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int Win32Dialogs::MsgBox(std::string_view text, std::uint32_t style, std::string_view title) {
    if (trace_.Enabled()) {
        trace_.Write("msgbox " + Win32Trace::Quote(title) + " " + Win32Trace::Quote(text));
    }
    const std::string ansiText = ToSystemCodePage(text);
    const std::string ansiTitle = ToSystemCodePage(title);
    // Without an owner the box could open behind other programs' windows.
    ++open_;
    const int answer =
        MessageBoxA(nullptr, ansiText.c_str(), ansiTitle.c_str(), style | MB_SETFOREGROUND);
    --open_;
    trace_.Write("msgbox-closed " + std::to_string(answer));
    return answer;
}

bool Win32Dialogs::RaiseOpenBox() {
    if (open_ == 0) {
        return false;
    }
    trace_.Write("msgbox raised");
    EnumThreadWindows(GetCurrentThreadId(), &RaiseIfBox, 0);
    return true;
}

}  // namespace ww::platform
