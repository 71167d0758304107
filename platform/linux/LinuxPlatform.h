#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/common/RunState.h"
#include "platform/common/WindowTable.h"
#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxInstance.h"
#include "platform/linux/PopupRequests.h"
#include "platform/linux/SessionEnd.h"
#include "platform/linux/SessionKind.h"
#include "platform/linux/SignalBridge.h"
#include "platform/linux/TracingScreenSaver.h"
#include "platform/linux/proc/ProcInterfaceTable.h"
#include "platform/linux/proc/ProcMemory.h"
#include "platform/linux/proc/ProcStatProcessorLoad.h"
#include "platform/linux/qt/LinuxWindowMessages.h"
#include "platform/linux/qt/QtDialogs.h"
#include "platform/linux/qt/QtEventLoop.h"
#include "platform/linux/qt/QtForms.h"
#include "platform/linux/qt/QtMainWindowView.h"
#include "platform/linux/saver/DesktopScreenSaver.h"
#include "platform/linux/saver/SessionScreenSaver.h"
#include "platform/linux/shell/LinuxShell.h"
#include "platform/linux/store/LinuxRegistry.h"
#include "platform/linux/system/LinuxClock.h"
#include "platform/linux/system/LinuxIdentity.h"
#include "platform/linux/system/LinuxLocale.h"
#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/QtNotifyIcon.h"
#include "platform/linux/tray/QtTrayMenu.h"
#include "platform/linux/tray/QtTrayView.h"
#include "platform/linux/tray/TrayHost.h"
#include "platform/linux/x11/X11Session.h"
#include "platform/linux/x11/X11TrayHover.h"
#include "platform/ports/Ports.h"

namespace ww::platform {
class ChosenScreenSaver;
}

namespace ww::platform {

// The Linux desktop backend: every port over Qt Widgets, with the cursor and
// the screen saver over Xlib in an X session and over the compositor and the
// session bus in a Wayland one. Made after the QApplication and gone before
// it; members go in reverse order, so the tray icon and the timers are gone
// before the X connection and the table.
class LinuxPlatform {
  public:
    // `arguments` are argv[1..] as the program received them.
    LinuxPlatform(SessionKind session, std::vector<std::string> arguments);
    ~LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Ports& GetPorts() { return ports_; }

    // Runs the event loop until EventLoop::End; returns at once when the
    // program ended during start-up already.
    int Run();

  private:
    void OnHostAppeared();
    void OnClose(const std::string& traceEvent);

    Trace trace_;
    RunState run_;
    std::unique_ptr<X11Session> x11_;
    WindowTable table_;

    LinuxClock clock_;
    LinuxLocale locale_;
    LinuxIdentity identity_;
    LinuxInstance instance_;
    LinuxApplication application_;
    SessionScreenSaver sessionSaver_;
    std::unique_ptr<ChosenScreenSaver> screenSaver_;
    TracingScreenSaver tracedSaver_;
    std::unique_ptr<CursorScreen> cursorScreen_;
    QtEventLoop eventLoop_;
    QtDialogs dialogs_;
    QtForms forms_;
    LinuxWindowMessages windows_;

    TrayHost host_;
    // On X11 only: where the pointer is decides when tooltip changes go out.
    std::unique_ptr<X11TrayHover> trayHover_;
    QtTrayView trayView_;
    QtNotifyIcon notifyIcon_;

    LinuxRegistry registry_;
    ProcInterfaceTable interfaceTable_;
    ProcMemory memory_;
    ProcStatProcessorLoad processorLoad_;
    LinuxShell shell_;
    QtTrayMenu trayMenu_;
    QtMainWindowView mainWindow_;

    SignalBridge signals_;
    SessionEnd session_;
    PopupRequests popups_;

    Ports ports_;
};

}  // namespace ww::platform
