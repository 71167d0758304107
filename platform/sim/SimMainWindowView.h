#pragma once

#include <map>
#include <string>

#include "platform/common/WindowTable.h"
#include "platform/ports/MainWindow.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The main window as control state: texts, check states, lefts and widths,
// window state, shown or hidden, pointers. A label sized to its text is
// kTwipsPerCharacter wide per character, so layouts are exact in tests.
// The window has a handle in the window table while it exists. Showing a
// hidden window makes it active (Form_Activate); the user actions below
// raise the events a real window would.
class SimMainWindowView : public MainWindowView {
  public:
    static constexpr int kTwipsPerCharacter = 90;

    SimMainWindowView(SimLog& log, WindowTable& table) : log_(log), table_(table) {}
    ~SimMainWindowView() override;
    SimMainWindowView(const SimMainWindowView&) = delete;
    SimMainWindowView& operator=(const SimMainWindowView&) = delete;

    Hwnd Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) override;
    void Destroy() override;
    bool Exists() override { return window_ != 0; }
    void Show() override;
    void Hide() override;
    void SetWindowState(WindowState state) override;
    WindowState GetWindowState() override { return state_; }
    void SetText(MainControl control, std::string_view text) override;
    std::string GetText(MainControl control) override;
    void SetCheck(MainControl control, int state) override;
    int GetCheck(MainControl control) override;
    int GetLeft(MainControl control) override;
    int GetWidth(MainControl control) override;
    void SetLeft(MainControl control, int twips) override;
    void SetBackColorButtonFace(MainControl control) override;
    void SetEnabled(MainControl control, bool enabled) override;
    void SetMousePointer(MousePointer pointer) override;
    void SetApplicationMousePointer(MousePointer pointer) override;
    bool InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) override;

    // --- control: what the user does; each is false when there is no window ---
    // A check box changes state first (unticked → ticked, else unticked).
    // False too for a disabled control, which takes no clicks.
    bool UserClick(MainControl control);
    // The window's minimise button: state minimised, then Form_Resize.
    bool UserMinimize();
    bool UserClose();
    bool UserMouseMove(MainControl control);
    bool UserMouseDown(MainControl control, int button, int shift);
    // The window becomes the active one again (e.g. back from another window of the program).
    bool Activate();

    // --- control: what the window shows ---
    Hwnd Window() const { return window_; }
    bool Shown() const { return shown_; }
    MousePointer Pointer() const { return pointer_; }
    MousePointer ApplicationPointer() const { return applicationPointer_; }
    bool OnButtonFace(MainControl control) const;
    bool Enabled(MainControl control) const;
    // The windowLayout of the last Create, and how many windows were made.
    const MainWindowLayout& WindowLayout() const { return windowLayout_; }
    int CreateCount() const { return creates_; }

  private:
    struct Control {
        ControlKind kind = ControlKind::Label;
        std::string text;
        int check = 0;
        int left = 0;
        int width = 0;
        bool autoSize = false;
        bool buttonFace = false;
        bool enabled = true;
    };

    Control* Find(MainControl control);
    static int TextWidth(std::string_view text);

    SimLog& log_;
    WindowTable& table_;
    MainWindowLayout windowLayout_;
    MainWindowEvents* events_ = nullptr;
    Hwnd window_ = 0;
    std::map<MainControl, Control> controls_;
    bool shown_ = false;
    WindowState state_ = WindowState::Normal;
    MousePointer pointer_ = MousePointer::Default;
    MousePointer applicationPointer_ = MousePointer::Default;
    int creates_ = 0;
};

}  // namespace ww::platform
