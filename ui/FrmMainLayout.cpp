#include "ui/FrmMainLayout.h"

#include <utility>

#include "platform/ports/ProgramInfo.h"
#include "tray/TrayPictures.h"

namespace ww::ui {
namespace {

using platform::ControlKind;
using platform::ControlLayout;
using platform::MainControl;

constexpr int kStatus = 0;
constexpr int kSettings = 1;
constexpr int kAbout = 2;
constexpr int kOnWindow = -1;
constexpr std::int32_t kLinkBlue = 0x0000FF;

class Inventory {
  public:
    ControlLayout& Add(MainControl id, ControlKind kind, MainControl container, int page,
                       std::string caption, int left, int top, int width, int height) {
        controls_.push_back(
            ControlLayout{id, kind, container, page, std::move(caption), left, top, width, height});
        return controls_.back();
    }

    std::vector<ControlLayout> Take() { return std::move(controls_); }

  private:
    std::vector<ControlLayout> controls_;
};

void AddStatusPage(Inventory& c) {
    using K = ControlKind;
    using M = MainControl;
    c.Add(M::Frame4, K::Frame, M::SSTab1, kStatus, "System Uptime", 240, 480, 4575, 1095);
    c.Add(M::txtUptime, K::TextField, M::Frame4, kStatus, "", 360, 360, 4095, 285).readOnly = true;
    c.Add(M::txtStartTime, K::TextField, M::Frame4, kStatus, "", 360, 600, 4095, 285).readOnly =
        true;
    c.Add(M::Frame1, K::Frame, M::SSTab1, kStatus, "Resource Utilisation", 240, 1680, 4575, 1095);
    c.Add(M::Label6, K::Label, M::Frame1, kStatus, "CPU Usage:", 360, 360, 1215, 255);
    c.Add(M::txtCpuUsage, K::TextField, M::Frame1, kStatus, "", 1800, 360, 2295, 285).readOnly =
        true;
    c.Add(M::Label7, K::Label, M::Frame1, kStatus, "Memory Usage:", 360, 600, 1215, 255);
    c.Add(M::txtMemUsage, K::TextField, M::Frame1, kStatus, "", 1800, 600, 2295, 285).readOnly =
        true;
}

void AddSettingsPage(Inventory& c) {
    using K = ControlKind;
    using M = MainControl;
    const std::string autoStartTip = "auto start Wakewatch on login to Windows";
    c.Add(M::Frame5, K::Frame, M::SSTab1, kSettings, "Hot Corners", 240, 480, 4575, 1695);
    c.Add(M::Picture1, K::Panel, M::Frame5, kSettings, "", 60, 240, 4455, 1335);
    c.Add(M::chkHotCorners, K::CheckBox, M::Picture1, kSettings, "&Enable Hot Corners", 300, 120,
          3615, 255);
    c.Add(M::Label3, K::Label, M::Picture1, kSettings,
          "Placing mouse cursor in the bottom left corner of the screen will start the screen "
          "saver, placing it in the bottom right corner will disable the screen saver.",
          180, 540, 4095, 615)
        .wordWrap = true;
    c.Add(M::Frame6, K::Frame, M::SSTab1, kSettings, "Auto Load", 240, 2280, 4575, 1935);
    c.Add(M::Picture2, K::Panel, M::Frame6, kSettings, "", 60, 240, 4455, 1575);
    c.Add(M::chkAutoStartAll, K::CheckBox, M::Picture2, kSettings,
          "Auto Load Wakewatch for A&ll Users", 300, 120, 3555, 255)
        .toolTip = autoStartTip;
    c.Add(M::chkAutoStartCurr, K::CheckBox, M::Picture2, kSettings,
          "Auto Load Wakewatch for &Current User", 300, 480, 3555, 255)
        .toolTip = autoStartTip;
    c.Add(M::Label5, K::Label, M::Picture2, kSettings,
          "Automatically start Wakewatch whenever user performs a console login on this PC.", 180,
          900, 4095, 495)
        .wordWrap = true;
}

ControlLayout& AddLink(Inventory& c, MainControl id, std::string caption, int left, int top,
                       std::string toolTip) {
    ControlLayout& link = c.Add(id, ControlKind::LinkLabel, MainControl::SSTab1, kAbout,
                                std::move(caption), left, top, 0, 195);
    link.autoSize = true;
    link.underline = true;
    link.foreColor = kLinkBlue;
    link.toolTip = std::move(toolTip);
    return link;
}

void AddAboutPage(Inventory& c) {
    using K = ControlKind;
    using M = MainControl;
    c.Add(M::Image, K::Picture, M::SSTab1, kAbout, "", 300, 600, 480, 480);
    c.Add(M::lblAppName, K::Label, M::SSTab1, kAbout, "", 1020, 600, 3255, 255).bold = true;
    c.Add(M::lblVersion, K::Label, M::SSTab1, kAbout, "", 1020, 840, 3255, 255);
    c.Add(M::lblCopyright, K::Label, M::SSTab1, kAbout, "Copyright \u00A9 2001-2006", 240, 1320,
          1725, 195)
        .autoSize = true;
    // Both links are moved behind their sentences when the window loads.
    AddLink(c, M::lblEmail, "the Wakewatch team", 240 + 1725 + kLinkGap, 1320,
            "click to e-mail the author");
    c.Add(M::Label9, K::Label, M::SSTab1, kAbout, "All rights reserved.", 240, 1530, 4455, 255);
    c.Add(M::lblVisit, K::Label, M::SSTab1, kAbout, "visit the", 240, 1920, 570, 195).autoSize =
        true;
    AddLink(c, M::lblWebsite, "website", 240 + 570 + kLinkGap, 1920, "click to visit the website");
    c.Add(M::Line2, K::Line, M::SSTab1, kAbout, "", 240, 2340, 4800 - 240, 0);
    c.Add(M::Label2, K::Label, M::SSTab1, kAbout,
          "Wakewatch is freeware. You may use it free of charge and give copies of it to "
          "others, as long as it is passed on unchanged and no fee is asked for it.",
          300, 2520, 4455, 855)
        .wordWrap = true;
    c.Add(M::Line1, K::Line, M::SSTab1, kAbout, "", 240, 3525, 4800 - 240, 0);
    c.Add(M::lblEEgg, K::Label, M::SSTab1, kAbout, "", 300, 3720, 2055, 255);
}

void AddButtons(Inventory& c) {
    using K = ControlKind;
    using M = MainControl;
    c.Add(M::btnUnload, K::Button, M::Window, kOnWindow, "&Unload", 120, 4690, 1035, 348).tabIndex =
        4;
    ControlLayout& ok =
        c.Add(M::btnOK, K::Button, M::Window, kOnWindow, "OK", 1980, 4690, 1035, 348);
    ok.isDefault = true;
    ok.tabIndex = 1;
    ControlLayout& cancel =
        c.Add(M::btnCancel, K::Button, M::Window, kOnWindow, "Cancel", 3060, 4690, 1035, 348);
    cancel.isCancel = true;
    cancel.tabIndex = 2;
    c.Add(M::btnApply, K::Button, M::Window, kOnWindow, "&Apply", 4140, 4690, 1035, 348).tabIndex =
        3;
}

platform::MainWindowLayout MakeWindowLayout() {
    Inventory inventory;
    inventory.Add(MainControl::SSTab1, ControlKind::TabControl, MainControl::Window, kOnWindow, "",
                  120, 120, 5055, 4500);
    AddStatusPage(inventory);
    AddSettingsPage(inventory);
    AddAboutPage(inventory);
    AddButtons(inventory);

    platform::MainWindowLayout windowLayout;
    windowLayout.title = platform::kAppTitle;
    windowLayout.clientWidth = 5310;
    windowLayout.clientHeight = 5145;
    windowLayout.tabs = {"Status", "Settings", "About"};
    windowLayout.controls = inventory.Take();
    windowLayout.icon16 = tray::ProgramIconImage(16);
    windowLayout.icon32 = tray::ProgramIconImage(32);
    windowLayout.fontName = "Tahoma";
    windowLayout.fontPoints = 8.25;
    windowLayout.linkPointer = HandPointerImage();
    windowLayout.linkPointerHotX = kHandHotSpotX;
    windowLayout.linkPointerHotY = kHandHotSpotY;
    return windowLayout;
}

}  // namespace

const platform::MainWindowLayout& FrmMainLayout() {
    static const platform::MainWindowLayout windowLayout = MakeWindowLayout();
    return windowLayout;
}

}  // namespace ww::ui
