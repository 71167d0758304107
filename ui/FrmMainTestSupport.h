#pragma once

#include <string>

#include "core/SharedState.h"
#include "platform/sim/SimPlatform.h"
#include "ui/FrmMain.h"
#include "uptime/Uptime.h"

namespace ww::ui {

// The main window on its own over the simulated platform, with the tray
// form's clock and the shared flags it would have after start-up.
class FrmMainFixture {
  public:
    FrmMainFixture() { shared.ComputerName = "OFFICE7"; }

    std::string Text(platform::MainControl control) { return sim.mainWindow().GetText(control); }
    int Check(platform::MainControl control) { return sim.mainWindow().GetCheck(control); }
    platform::SimMainWindowView& View() { return sim.mainWindow(); }

    platform::SimPlatform sim;
    core::SharedState shared;
    uptime::Uptime uptime{sim.clock(), sim.locale()};
    FrmMain frm{sim.ports(), shared, uptime};
};

}  // namespace ww::ui
