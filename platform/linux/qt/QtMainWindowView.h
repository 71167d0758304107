#pragma once

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <map>

#include "platform/common/RunState.h"
#include "platform/common/WindowTable.h"
#include "platform/linux/qt/LinuxWindowMessages.h"
#include "platform/linux/qt/QtMainWindowControls.h"
#include "platform/linux/qt/QtMainWindowWidget.h"
#include "platform/linux/trace/Trace.h"
#include "platform/ports/MainWindow.h"

namespace ww::platform {

// The main window as a Qt Widgets window. The window is a window of the
// table too, so SetForegroundWindow can bring it to the front by its handle.
// Events reach the logic synchronously from Qt's event handlers, never once
// the program has ended or the window is destroyed.
class QtMainWindowView final : public QObject, public MainWindowView {
  public:
    QtMainWindowView(WindowTable& table, LinuxWindowMessages& windows, Trace& trace,
                     const RunState& run);
    ~QtMainWindowView() override;
    QtMainWindowView(const QtMainWindowView&) = delete;
    QtMainWindowView& operator=(const QtMainWindowView&) = delete;

    Hwnd Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) override;
    void Destroy() override;
    bool Exists() override;

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

    // The window's widget and a control's widget, for tests and the demo;
    // null when there is none.
    QWidget* Window() const { return window_.data(); }
    QWidget* Widget(MainControl control) const;

    // Mouse moves, presses and link clicks of the watched widgets.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Connect();
    void Watch(QObject* object, MainControl control);
    // The logic's events, while it may have them.
    MainWindowEvents* Listener() const;
    BuiltControl* Find(MainControl control);

    WindowTable& table_;
    LinuxWindowMessages& windows_;
    Trace& trace_;
    const RunState& run_;
    double dotsPerInch_ = 96.0;

    MainWindowEvents* events_ = nullptr;
    Hwnd handle_ = 0;
    QPointer<QtMainWindowWidget> window_;
    QPointer<QWidget> dying_;  // destroyed from inside one of its own events
    BuiltControls controls_;
    std::map<QObject*, MainControl> watched_;
    QCursor hand_;
    bool appPointerSet_ = false;
    bool settingState_ = false;
};

}  // namespace ww::platform
