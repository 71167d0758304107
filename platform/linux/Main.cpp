#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/FrmSysTray.h"
#include "core/Wakewatch.h"
#include "platform/linux/CommandLine.h"
#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxInstance.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/PopupRequests.h"
#include "platform/linux/SessionKind.h"
#include "platform/linux/wayland/CompositorWait.h"
#include "platform/linux/x11/X11Session.h"
#include "platform/ports/ProgramInfo.h"

// Under the leak checker: libdbus keeps an allocation when no session bus
// can be reached (Qt asks for one to look for a StatusNotifierItem host).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}

int main(int argc, char** argv) {
    // The arguments as typed, before QApplication takes its own options out.
    std::vector<std::string> arguments(argv + 1, argv + argc);

    // --help and --version answer before any display, tray or instance check,
    // so they work over ssh, in scripts and while Wakewatch already runs.
    if (const auto option = ww::platform::FindInformationOption(arguments);
        option != ww::platform::InformationOption::kNone) {
        const auto facts = ww::platform::MakeAppFacts(ww::platform::CurrentExecutablePath());
        const std::string text = option == ww::platform::InformationOption::kHelp
                                     ? ww::platform::HelpText(facts)
                                     : ww::platform::VersionText(facts);
        std::fputs(text.c_str(), stdout);
        // A full disk or a closed pipe is a failure, as for any GNU program.
        return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
    }

    // The menu entry's "Open the Main Window" while Wakewatch runs: the running
    // instance shows its window, and this start ends without the refusal box.
    if (ww::core::IsPopupOption(ww::platform::JoinArguments(arguments)) &&
        ww::platform::AskRunningInstanceForItsWindow(
            ww::platform::PopupAddress(
                geteuid(),
                ww::platform::LockFilePath(ww::platform::InstanceEnvironment::FromProcess())),
            std::chrono::seconds(2))) {
        return 0;
    }

    // Windows, menus and message boxes on the session's own display server;
    // in an X session the tray, the screen saver and the cursor are X11 matters.
    const ww::platform::SessionKind session = ww::platform::CurrentSessionKind();
    const bool wayland = session == ww::platform::SessionKind::Wayland;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", wayland ? "wayland" : "xcb", 1);
    }
    // Without a display Qt would abort; say why in one line instead.
    if (const auto problem = wayland
                                 ? ww::platform::WaitForCompositor(std::chrono::seconds(30), stderr)
                                 : ww::platform::X11Session::CheckDisplay()) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ww::platform::kAppTitle));
    // Shells find the window's name and icon through the menu entry's file name.
    QApplication::setDesktopFileName(QStringLiteral("wakewatch"));
    QApplication::setQuitOnLastWindowClosed(false);

    ww::platform::LinuxPlatform platform(session, std::move(arguments));
    ww::core::Wakewatch program(platform.GetPorts());
    program.Start();
    return platform.Run();
}
