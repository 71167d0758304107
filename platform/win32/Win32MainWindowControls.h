#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "platform/ports/MainWindow.h"
#include "platform/win32/Win32DialogFonts.h"
#include "platform/win32/Win32TwipScale.h"

namespace ww::platform {

// One control of the built window: its layout (twips; the left edge follows
// SetLeft) and the child window showing it.
struct BuiltControl {
    ControlLayout layout;
    HWND window = nullptr;
    bool buttonFace = false;  // drawn on the button-face colour
};

using BuiltControls = std::map<MainControl, BuiltControl>;

// Every control is a direct child of the dialog, placed at its container's
// place plus its own, so that all notifications and colour requests reach
// the dialog. Containers stay below what they contain.
struct ControlBuild {
    HWND dialog;
    HINSTANCE instance;
    const MainWindowLayout& windowLayout;
    Win32TwipScale scale;
    Win32DialogFonts& fonts;
    HICON picture;  // what the Picture control shows
};

// Builds the layout's controls, with page 0 showing, the tab order of the
// windowLayout's buttons, Enter's and Escape's buttons, and the tooltips.
BuiltControls BuildMainWindowControls(const ControlBuild& build);

// The command identifier of a control: IDOK for the default button, IDCANCEL
// for the cancel button, else one of the control's own.
int ControlId(const ControlLayout& layout);

// Puts a control where its layout says, sized to its text when it sizes itself.
void PlaceControl(const BuiltControls& controls, MainControl id, const Win32TwipScale& scale);

// Shows the controls of `page` and of the window, hides the other pages'.
void ShowPage(const BuiltControls& controls, int page);

// Text as the window shows it (the system's code page) and back.
void SetWindowTextUtf8(HWND window, std::string_view text);
std::string GetWindowTextUtf8(HWND window);

}  // namespace ww::platform
