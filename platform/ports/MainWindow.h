#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/IconImage.h"
#include "platform/ports/Types.h"

namespace ww::platform {

// The controls of the main window the logic and the views share.
enum class MainControl : std::uint8_t {
    Window,
    SSTab1,
    Frame4,
    txtUptime,
    txtStartTime,
    Frame1,
    Label6,
    txtCpuUsage,
    Label7,
    txtMemUsage,
    Frame5,
    Picture1,
    chkHotCorners,
    Label3,
    Frame6,
    Picture2,
    chkAutoStartAll,
    chkAutoStartCurr,
    Label5,
    Image,
    lblAppName,
    lblVersion,
    lblCopyright,
    lblEmail,
    Label9,
    lblVisit,
    lblWebsite,
    Line2,
    Label2,
    Line1,
    lblEEgg,
    btnUnload,
    btnOK,
    btnCancel,
    btnApply,
};

enum class ControlKind : std::uint8_t {
    TabControl,
    Frame,
    Panel,
    TextField,
    Label,
    LinkLabel,
    CheckBox,
    Button,
    Picture,
    Line
};

// One control of the window's windowLayout: where it sits (twips, relative to its
// container; a Line runs from (left, top) to (left + width, top)), what it
// shows and how it behaves.
struct ControlLayout {
    MainControl id;
    ControlKind kind;
    MainControl container;  // Window for the window itself
    int page;               // tab page 0..2, or -1 when on the window
    std::string caption;
    int left, top, width, height;
    std::string toolTip{};
    bool bold = false;
    bool underline = false;
    std::int32_t foreColor = -1;  // 0xRRGGBB, or -1 for the system's text colour
    bool autoSize = false;        // a label sized to its text
    bool wordWrap = false;
    bool readOnly = false;   // text fields: read-only, no tab stop, button-face background
    bool isDefault = false;  // the button Enter presses
    bool isCancel = false;   // the button Escape presses
    int tabIndex = -1;       // buttons' tab order
};

struct MainWindowLayout {
    std::string title;
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips
    std::vector<std::string> tabs;
    std::vector<ControlLayout> controls;
    IconImage icon16;
    IconImage icon32;
    std::string fontName;  // "Tahoma"
    double fontPoints = 0;
    // The pointer shown over the links: a 32 × 32 monochrome image (palette
    // indices 0 black, 15 white, or kTransparent) and its hot spot in pixels.
    IconImage linkPointer{32, {}};
    int linkPointerHotX = 0;
    int linkPointerHotY = 0;
};

// The control's name in the windowLayout ("txtUptime", "chkHotCorners"...).
constexpr const char* MainControlName(MainControl control) {
    constexpr const char* kNames[] = {"Window",        "SSTab1",          "Frame4",
                                      "txtUptime",     "txtStartTime",    "Frame1",
                                      "Label6",        "txtCpuUsage",     "Label7",
                                      "txtMemUsage",   "Frame5",          "Picture1",
                                      "chkHotCorners", "Label3",          "Frame6",
                                      "Picture2",      "chkAutoStartAll", "chkAutoStartCurr",
                                      "Label5",        "Image",           "lblAppName",
                                      "lblVersion",    "lblCopyright",    "lblEmail",
                                      "Label9",        "lblVisit",        "lblWebsite",
                                      "Line2",         "Label2",          "Line1",
                                      "lblEEgg",       "btnUnload",       "btnOK",
                                      "btnCancel",     "btnApply"};
    static_assert(sizeof kNames / sizeof kNames[0] ==
                  static_cast<std::size_t>(MainControl::btnApply) + 1);
    return kNames[static_cast<std::size_t>(control)];
}

enum class WindowState : std::uint8_t { Normal = 0, Minimized = 1 };
enum class MousePointer : std::uint8_t { Default, Hand, Hourglass };

// What the main window's view reports to its logic.
class MainWindowEvents {
  public:
    virtual ~MainWindowEvents() = default;
    virtual void Form_Activate() = 0;  // shown, or shown again, as the program's active window
    virtual void Form_Resize() = 0;    // size or window state changed
    // The title bar's close button. The view leaves the window as it is; the
    // logic decides whether and how it unloads.
    virtual void Form_Close() = 0;
    virtual void Click(
        MainControl control) = 0;  // buttons, links; check boxes after the user changed them
    virtual void MouseMove(MainControl control) = 0;  // Window, SSTab1, lblEmail, lblWebsite
    virtual void MouseDown(MainControl control, int button, int shift) = 0;  // Image
};

// The main window's view: a real window built from the windowLayout, driven by the
// logic. Setting a state or text from the logic raises no event; the logic
// runs what the run-time would raise itself (a check box's click rule, the
// resize after a change of window state).
class MainWindowView {
  public:
    virtual ~MainWindowView() = default;

    // Builds the window and its controls, hidden, with page 0 selected.
    // Returns its handle; events go to `events` until Destroy.
    virtual Hwnd Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) = 0;
    // Destroys the window; no event follows. May be called from inside an
    // event the view raised (a button's Click), so the view must not touch
    // the destroyed controls when that event returns.
    virtual void Destroy() = 0;
    virtual bool Exists() = 0;

    // Shows the window modeless and makes it the program's active window,
    // which the view reports as Form_Activate (when it was not active yet).
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetWindowState(WindowState state) = 0;
    virtual WindowState GetWindowState() = 0;

    virtual void SetText(MainControl control, std::string_view text) = 0;
    virtual std::string GetText(MainControl control) = 0;
    // 0 unticked, 1 ticked, 2 greyed (a check box's third state, which only
    // the logic sets). A user click ticks an unticked box and unticks a
    // ticked or greyed one, then raises Click.
    virtual void SetCheck(MainControl control, int state) = 0;
    virtual int GetCheck(MainControl control) = 0;
    virtual int GetLeft(MainControl control) = 0;   // twips
    virtual int GetWidth(MainControl control) = 0;  // twips (auto-sized labels: of their text)
    virtual void SetLeft(MainControl control, int twips) = 0;
    virtual void SetBackColorButtonFace(MainControl control) = 0;
    // A disabled control is shown greyed and takes no input.
    virtual void SetEnabled(MainControl control, bool enabled) = 0;

    virtual void SetMousePointer(MousePointer pointer) = 0;             // over the window
    virtual void SetApplicationMousePointer(MousePointer pointer) = 0;  // everywhere

    // InitCommonControlsEx with the structure size and the class flags.
    virtual bool InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) = 0;
};

}  // namespace ww::platform
