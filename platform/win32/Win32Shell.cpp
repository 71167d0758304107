#include "platform/win32/Win32Shell.h"

#include <string>
#include <vector>

#include "platform/win32/SystemCodePage.h"
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

bool Win32Shell::OpenScreenSaverSettings() {
    return StartCommandLine("rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,1",
                            SW_SHOWMINIMIZED);
}

bool Win32Shell::StartCommandLine(std::string_view commandLine, int windowStyle) {
    const std::string ansi = ToSystemCodePage(commandLine);
    if (ansi.empty()) {
        return false;
    }
    // CreateProcessA may write to the command line, so it gets its own copy.
    std::vector<char> line(ansi.begin(), ansi.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
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
