#pragma once

#include "platform/common/RunState.h"
#include "platform/ports/Ports.h"
#include "platform/win32/TracingTrayMenu.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32Calls.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32CursorScreen.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32Forms.h"
#include "platform/win32/Win32Identity.h"
#include "platform/win32/Win32Instance.h"
#include "platform/win32/Win32InterfaceTable.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32MainWindowView.h"
#include "platform/win32/Win32Memory.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32ProcessorLoad.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemParameters.h"
#include "platform/win32/Win32Trace.h"
#include "platform/win32/Win32TrayMenu.h"
#include "platform/win32/Win32WindowMessages.h"

namespace ww::platform {

// The Windows backend: every port over the real Win32 calls. Members go in
// reverse order, so the windows and their procedures are gone before the
// trace and the run state they use.
class Win32Platform {
  public:
    explicit Win32Platform(HINSTANCE instance);
    ~Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Ports& GetPorts() { return ports_; }

    // Runs the message loop until EventLoop::End; returns at once when the
    // program ended during start-up already.
    int Run();

  private:
    Win32Trace trace_;
    RunState run_;

    Win32Clock clock_;
    Win32Locale locale_;
    Win32Identity identity_;
    Win32Instance instance_;
    Win32Application application_;
    Win32SystemParameters systemParameters_;
    Win32CursorScreen cursorScreen_;
    Win32EventLoop eventLoop_;
    Win32Dialogs dialogs_;
    Win32WindowMessages windows_;
    Win32Forms forms_;
    Win32NotifyIcon notifyIcon_;

    Win32Registry registry_;
    Win32InterfaceTable interfaceTable_;
    Win32Memory memory_;
    Win32ProcessorLoad processorLoad_;
    Win32Shell shell_;
    Win32TrayMenu trayMenu_;
    TracingTrayMenu tracedMenu_;
    Win32MainWindowView mainWindow_;

    Ports ports_;
};

}  // namespace ww::platform
