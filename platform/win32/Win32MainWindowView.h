#pragma once

#include <windows.h>

#include <memory>

#include "platform/ports/MainWindow.h"
#include "platform/win32/Win32DialogFonts.h"
#include "platform/win32/Win32MainWindowControls.h"
#include "platform/win32/Win32TwipScale.h"

namespace ww::platform {

// The main window as a modeless dialog with the common tab control, built
// from the windowLayout at the screen's resolution. Events reach the logic
// synchronously from the dialog's and the controls' window procedures, never
// once the window is destroyed. Enter, Escape, Tab and the access keys work
// whatever message loop runs: a message hook hands the window's keys to the
// dialog manager.
class Win32MainWindowView final : public MainWindowView {
  public:
    explicit Win32MainWindowView(HINSTANCE instance);
    ~Win32MainWindowView() override;
    Win32MainWindowView(const Win32MainWindowView&) = delete;
    Win32MainWindowView& operator=(const Win32MainWindowView&) = delete;

    Hwnd Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) override;
    void Destroy() override;
    bool Exists() override { return dialog_ != nullptr; }

    void Show() override;
    void Hide() override;
    void SetWindowState(WindowState state) override;
    WindowState GetWindowState() override;

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

    // The dialog and a control's window, for tests; null when there is none.
    HWND Window() const { return dialog_; }
    HWND ControlWindow(MainControl control) const;

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);

    // Handlers (Win32MainWindowViewEvents.cpp); true when the message was handled.
    bool OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    bool OnControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND from);
    void OnTabChanged();
    bool OnSetCursor(HWND under, int hitTest);
    HBRUSH OnControlColour(HDC dc, HWND control);
    void Subclass(HWND window);

    MainWindowEvents* Listener() const { return events_; }
    BuiltControl* Find(MainControl control);
    const BuiltControl* FindWindow(HWND window) const;
    HCURSOR CursorFor(MousePointer pointer) const;

    HINSTANCE instance_;
    HWND dialog_ = nullptr;
    MainWindowEvents* events_ = nullptr;
    Win32TwipScale scale_;
    std::unique_ptr<Win32DialogFonts> fonts_;
    BuiltControls controls_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HCURSOR hand_ = nullptr;
    MousePointer windowPointer_ = MousePointer::Default;
    MousePointer appPointer_ = MousePointer::Default;
    HWND pressedLink_ = nullptr;
    bool settingState_ = false;
    bool hiddenMinimized_ = false;  // the state a hidden window shows again with
};

}  // namespace ww::platform
