#include "platform/win32/Win32Shell.h"

#include <string>
#include <vector>

#include "platform/win32/SystemCodePage.h"
#include "platform/win32/SystemFolder.h"
#include "platform/win32/Win32Calls.h"

#include <shellapi.h>

namespace ww::platform {
namespace {

// The text as the ANSI call wants it, or null for the empty text.
class AnsiArgument {
  public:
    explicit AnsiArgument(std::string_view utf8) : text_(ToSystemCodePage(utf8)) {}
    const char* get() const { return text_.empty() ? nullptr : text_.c_str(); }

  private:
    std::string text_;
};

}  // namespace

std::string ProgramName(std::string_view commandLine) {
    if (commandLine.starts_with('"')) {
        const std::size_t end = commandLine.find('"', 1);
        return std::string(commandLine.substr(1, end == std::string_view::npos ? end : end - 1));
    }
    return std::string(commandLine.substr(0, commandLine.find_first_of(" \t")));
}

bool Win32Shell::OpenScreenSaverSettings() {
    return StartCommandLine("rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,1",
                            SW_SHOWMINIMIZED);
}

bool Win32Shell::StartCommandLine(std::string_view commandLine, int windowStyle) {
    const std::string ansi = ToSystemCodePage(commandLine);
    if (ansi.empty()) {
        return false;
    }
    // A program named without a folder is the system's own: by its full
    // path, and started in the system folder, so that neither it nor what it
    // loads is taken from the program's folder or the current one.
    const std::string name = ProgramName(ansi);
    std::string application;
    std::string folder;
    if (name.find_first_of("\\/:") == std::string::npos) {
        application = SystemProgramPath(name);
        if (application.empty()) {
            return false;
        }
        folder = SystemFolder();
    }
    // CreateProcessA may write to the command line, so it gets its own copy.
    std::vector<char> line(ansi.begin(), ansi.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                          nullptr, FALSE, 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                          &startup, &process)) {
        return false;
    }
    // Not waited for: the handles only kept the process's record alive.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

std::intptr_t Win32Shell::ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                        std::string_view parameters, std::string_view directory,
                                        int showCommand) {
    const AnsiArgument ansiVerb(verb);
    const AnsiArgument ansiFile(file);
    const AnsiArgument ansiParameters(parameters);
    const AnsiArgument ansiDirectory(directory);
    HINSTANCE result = ::ShellExecuteA(ToWin<HWND>(owner), ansiVerb.get(), ansiFile.get(),
                                       ansiParameters.get(), ansiDirectory.get(), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace ww::platform
