#include "platform/linux/LinuxPlatform.h"

#include <unistd.h>

#include <QApplication>

#include "platform/linux/ChosenScreenSaver.h"
#include "platform/linux/wayland/LayerShellCorners.h"
#include "platform/linux/x11/X11CursorScreen.h"

#include <X11/Xlib.h>

namespace ww::platform {

namespace {

// Made before the members that hold on to them.
std::unique_ptr<X11Session> OpenX11(SessionKind session) {
    if (session == SessionKind::Wayland) {
        // An X server that happens to be there (XWayland) has a cursor and a
        // saver of its own, not the session's.
        return std::make_unique<X11Session>(X11Session::Unconnected{});
    }
    return std::make_unique<X11Session>();
}

// Configure opens the settings of whichever saver the session runs now.
LinuxShell::Options ShellOptions(std::function<StartWay()> saver) {
    LinuxShell::Options options;
    options.saver = std::move(saver);
    return options;
}

}  // namespace

LinuxPlatform::LinuxPlatform(SessionKind session, std::vector<std::string> arguments)
    : x11_(OpenX11(session)),
      application_(std::move(arguments), CurrentExecutablePath()),
      screenSaver_(std::make_unique<ChosenScreenSaver>(
          session == SessionKind::Wayland ? nullptr : x11_->Connection(), sessionSaver_)),
      tracedSaver_(*screenSaver_, trace_),
      cursorScreen_(session == SessionKind::Wayland
                        ? std::unique_ptr<CursorScreen>(std::make_unique<LayerShellCorners>())
                        : std::make_unique<X11CursorScreen>(x11_->Connection())),
      eventLoop_(run_, trace_),
      dialogs_(trace_),
      forms_(table_, trace_, run_),
      windows_(table_),
      host_(*x11_, trace_),
      trayView_(trace_),
      notifyIcon_(trayView_, table_, trace_, run_),
      registry_(StorePaths::FromEnvironment()),
      shell_(trace_, ShellOptions([this] { return screenSaver_->StartWayNow(); })),
      trayMenu_(trace_, run_),
      mainWindow_(table_, windows_, trace_, run_),
      signals_([this](int signal) { OnClose("close signal " + std::to_string(signal)); }),
      session_([this] { OnClose("close session"); }),
      // A second -POPUP start is a host's left click: the window opens.
      popups_(PopupAddress(geteuid(), LockFilePath(InstanceEnvironment::FromProcess())),
              [this] { trayView_.ReportClick(TrayClick::DoubleClick); }),
      ports_{clock_,    locale_,         identity_,  notifyIcon_,  windows_,
             instance_, application_,    eventLoop_, dialogs_,     forms_,
             registry_, interfaceTable_, memory_,    tracedSaver_, *cursorScreen_,
             shell_,    processorLoad_,  trayMenu_,  mainWindow_} {
    if (auto* x11Cursor = dynamic_cast<X11CursorScreen*>(cursorScreen_.get())) {
        x11Cursor->SelectScreenEvents();
        x11_->AddEventHandler([x11Cursor](const XEvent& event) {
            x11Cursor->OnXEvent(static_cast<std::uint8_t>(event.type & 0x7F),
                                static_cast<std::uint32_t>(event.xany.window));
        });
    }
    if (session != SessionKind::Wayland && x11_->Connection() != nullptr) {
        trayHover_ = std::make_unique<X11TrayHover>(x11_->Connection());
        trayView_.SetToolTipGate([this] { return trayHover_->PointerMayBeOnTray(); });
    }
    trayMenu_.AttachTo(trayView_);
    host_.onLost = [this] { notifyIcon_.HostLost(); };
    host_.onAppeared = [this] { OnHostAppeared(); };
    host_.Start();
    trayView_.SetKind(host_.Kind());
    notifyIcon_.SetHost(host_.Present());
}

LinuxPlatform::~LinuxPlatform() {
    // Nothing may reach the logic while the members go.
    run_.End();
    // Whatever way the program got here, the saver is not left switched off.
    screenSaver_->RestoreOnExit();
}

int LinuxPlatform::Run() {
    if (run_.Ended()) {
        return 0;
    }
    // Only the instance that runs listens: a refused one has ended above.
    popups_.Listen();
    return QApplication::exec();
}

// A tray host (re)appeared: the shell's "TaskbarCreated", through whatever
// procedure the logic installed on the tray form.
void LinuxPlatform::OnHostAppeared() {
    trayView_.SetKind(host_.Kind());
    notifyIcon_.HostAppeared();
    const Hwnd form = forms_.FormWindow();
    if (run_.Ended() || form == 0) {
        return;
    }
    trace_.Write("taskbar-created");
    table_.Send(form, WindowTable::Register("TaskbarCreated"), 0, 0);
}

void LinuxPlatform::OnClose(const std::string& traceEvent) {
    if (forms_.HasTrayForm()) {
        forms_.PlatformClose(traceEvent);
        return;
    }
    // No form to close (start-up, or already unloaded): just end.
    trace_.Write(traceEvent);
    eventLoop_.End();
}

}  // namespace ww::platform
