#pragma once

#include <string>

#include "monitors/ComputerIdentity.h"
#include "platform/sim/SimPlatform.h"
#include "settings/StoredFlags.h"
#include "ui/FrmMain.h"
#include "uptime/Uptime.h"

namespace ww::ui {

// The main window on its own over the simulated platform, with the tray
// form's clock, and the computer's identity and stored flags as start-up
// would leave them.
class FrmMainFixture {
  public:
    FrmMainFixture() { computer.ComputerName = "OFFICE7"; }

    std::string Text(platform::MainControl control) { return sim.mainWindow().GetText(control); }
    int Check(platform::MainControl control) { return sim.mainWindow().GetCheck(control); }
    platform::SimMainWindowView& View() { return sim.mainWindow(); }

    platform::SimPlatform sim;
    monitors::ComputerIdentity computer;
    settings::StoredFlags stored;
    uptime::Uptime uptime{sim.clock(), sim.locale()};
    FrmMain frm{sim.ports(), computer, stored, uptime};
};

}  // namespace ww::ui
