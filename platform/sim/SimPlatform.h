#pragma once

#include "platform/common/WindowTable.h"
#include "platform/ports/Ports.h"
#include "platform/sim/SimApplication.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimCursorScreen.h"
#include "platform/sim/SimDialogs.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimForms.h"
#include "platform/sim/SimInstance.h"
#include "platform/sim/SimInterfaceTable.h"
#include "platform/sim/SimLocale.h"
#include "platform/sim/SimLog.h"
#include "platform/sim/SimMainWindowView.h"
#include "platform/sim/SimMemory.h"
#include "platform/sim/SimNotifyIcon.h"
#include "platform/sim/SimProcessorLoad.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimSystemIdentity.h"
#include "platform/sim/SimSystemParameters.h"
#include "platform/sim/SimTrayMenu.h"
#include "platform/sim/SimWindowMessages.h"

namespace ww::platform {

// The simulated backend: every port, deterministic, with one log of the calls
// made through them. Make a fresh one per test; hand ports() to the logic and
// steer the sim objects through the accessors.
class SimPlatform {
  public:
    SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    Ports& ports() { return ports_; }
    SimLog& log() { return log_; }

    SimClock& clock() { return clock_; }
    SimLocale& locale() { return locale_; }
    SimSystemIdentity& identity() { return identity_; }
    SimNotifyIcon& notifyIcon() { return notifyIcon_; }
    SimWindowMessages& windows() { return windows_; }
    SimInstance& instance() { return instance_; }
    SimApplication& application() { return application_; }
    SimEventLoop& eventLoop() { return eventLoop_; }
    SimDialogs& dialogs() { return dialogs_; }
    SimForms& forms() { return forms_; }
    SimRegistry& registry() { return registry_; }
    SimInterfaceTable& interfaceTable() { return interfaceTable_; }
    SimMemory& memory() { return memory_; }
    SimSystemParameters& systemParameters() { return systemParameters_; }
    SimCursorScreen& cursorScreen() { return cursorScreen_; }
    SimProcessorLoad& processorLoad() { return processorLoad_; }
    SimShell& shell() { return shell_; }
    SimTrayMenu& trayMenu() { return trayMenu_; }
    SimMainWindowView& mainWindow() { return mainWindow_; }
    WindowTable& windowTable() { return table_; }

  private:
    // Declaration order is construction order: the log and the window table
    // first, forms (which tear their windows down) after what they use.
    SimLog log_;
    WindowTable table_;
    SimEventLoop eventLoop_;
    SimClock clock_;
    SimLocale locale_;
    SimSystemIdentity identity_;
    SimSystemParameters systemParameters_;
    SimForms forms_;
    SimNotifyIcon notifyIcon_;
    SimWindowMessages windows_;
    SimInstance instance_;
    SimApplication application_;
    SimDialogs dialogs_;
    SimRegistry registry_;
    SimInterfaceTable interfaceTable_;
    SimMemory memory_;
    SimCursorScreen cursorScreen_;
    SimProcessorLoad processorLoad_;
    SimShell shell_;
    SimTrayMenu trayMenu_;
    SimMainWindowView mainWindow_;
    Ports ports_;
};

}  // namespace ww::platform
