#pragma once

#include <vector>

#include "platform/common/WindowTable.h"
#include "platform/ports/UiRuntime.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The hidden tray form: a form window and its picture box in the window
// table. The picture box's default procedure turns WM_MOUSEMOVE into the
// PictureBoxMouseMove event with X = LOWORD(lParam) × TwipsPerPixelX.
class SimForms : public Forms {
  public:
    SimForms(SimLog& log, WindowTable& table) : log_(log), table_(table) {}
    ~SimForms() override;
    SimForms(const SimForms&) = delete;
    SimForms& operator=(const SimForms&) = delete;

    TrayFormWindows CreateTrayForm(TrayFormEvents& events) override;
    // Destroys every tray form made, form first, through the current procedures.
    void DestroyTrayForm() override;
    int TwipsPerPixelX() override;

    // --- control ---
    // The platform closes the form (logout, signal): PlatformClose on the
    // events of every live tray form. False when there is none.
    bool CloseTrayForm();

    // The live tray forms, oldest first.
    const std::vector<TrayFormWindows>& TrayForms() const { return windows_; }
    void SetTwipsPerPixelX(int twips) { twipsPerPixel_ = twips; }

  private:
    SimLog& log_;
    WindowTable& table_;
    std::vector<TrayFormWindows> windows_;
    std::vector<TrayFormEvents*> events_;
    int twipsPerPixel_ = 15;
};

}  // namespace ww::platform
