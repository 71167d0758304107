#include "platform/sim/SimPlatform.h"

namespace ww::platform {

SimPlatform::SimPlatform()
    : eventLoop_(log_),
      clock_(log_, eventLoop_),
      locale_(log_),
      identity_(log_),
      systemParameters_(log_),
      forms_(log_, table_),
      notifyIcon_(log_, table_, forms_),
      windows_(log_, table_),
      instance_(log_),
      application_(log_),
      dialogs_(log_),
      registry_(log_),
      interfaceTable_(log_),
      memory_(log_),
      cursorScreen_(log_),
      processorLoad_(log_),
      shell_(log_),
      trayMenu_(log_),
      mainWindow_(log_, table_),
      ports_{clock_,    locale_,         identity_,  notifyIcon_,       windows_,
             instance_, application_,    eventLoop_, dialogs_,          forms_,
             registry_, interfaceTable_, memory_,    systemParameters_, cursorScreen_,
             shell_,    processorLoad_,  trayMenu_,  mainWindow_} {}

}  // namespace ww::platform
