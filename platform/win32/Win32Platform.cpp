#include "platform/win32/Win32Platform.h"

namespace ww::platform {

Win32Platform::Win32Platform(HINSTANCE instance)
    : systemParameters_(Win32SaverMarker(), [this] { return forms_.FormWindow(); }),
      eventLoop_(run_, trace_),
      dialogs_(trace_),
      windows_(run_, trace_),
      forms_(instance, run_, trace_),
      notifyIcon_(trace_),
      trayMenu_([this] { return forms_.FormWindow(); }),
      tracedMenu_(trayMenu_, trace_),
      mainWindow_(instance),
      ports_{clock_,    locale_,         identity_,   notifyIcon_,       windows_,
             instance_, application_,    eventLoop_,  dialogs_,          forms_,
             registry_, interfaceTable_, memory_,     systemParameters_, cursorScreen_,
             shell_,    processorLoad_,  tracedMenu_, mainWindow_} {
    // A run that ended while holding the screen saver off left it off.
    systemParameters_.RepairLeftover();
}

Win32Platform::~Win32Platform() {
    // Nothing may reach the logic while the members go.
    run_.End();
}

int Win32Platform::Run() {
    return eventLoop_.Run();
}

}  // namespace ww::platform
