#pragma once

#include "platform/ports/Clock.h"
#include "platform/ports/CursorScreen.h"
#include "platform/ports/Instance.h"
#include "platform/ports/InterfaceTable.h"
#include "platform/ports/Locale.h"
#include "platform/ports/MainWindow.h"
#include "platform/ports/Memory.h"
#include "platform/ports/NotifyIcon.h"
#include "platform/ports/ProcessorLoad.h"
#include "platform/ports/Registry.h"
#include "platform/ports/Shell.h"
#include "platform/ports/SystemIdentity.h"
#include "platform/ports/SystemParameters.h"
#include "platform/ports/TrayMenu.h"
#include "platform/ports/UiRuntime.h"
#include "platform/ports/WindowMessages.h"

namespace ww::platform {

// Every port one backend provides, handed to the composition root. Logic
// modules take only the ports they use.
struct Ports {
    Clock& clock;
    Locale& locale;
    SystemIdentity& identity;
    NotifyIcon& notifyIcon;
    WindowMessages& windows;
    Instance& instance;
    Application& application;
    EventLoop& eventLoop;
    Dialogs& dialogs;
    Forms& forms;
    Registry& registry;
    InterfaceTable& interfaceTable;
    Memory& memory;
    SystemParameters& systemParameters;
    CursorScreen& cursorScreen;
    Shell& shell;
    ProcessorLoad& processorLoad;
    TrayMenu& trayMenu;
    MainWindowView& mainWindow;
};

}  // namespace ww::platform
