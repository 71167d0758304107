#include "platform/win32/Win32Application.h"

#include "platform/common/ProgramFacts.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(path, n);
}

}  // namespace

std::string ArgumentText(std::string_view commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    }
    while (i < commandLine.size() && !IsBlank(commandLine[i])) {
        ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) {
        ++i;
    }
    return std::string(commandLine.substr(i));
}

AppFacts MakeWin32AppFacts(std::string_view modulePath) {
    const std::size_t slash = modulePath.find_last_of("\\/");
    if (slash == std::string_view::npos) {
        return ProgramFacts("\\", std::string(), modulePath);
    }
    const std::string_view folder = modulePath.substr(0, slash);
    // "C:" alone would name the drive's current folder, not its root.
    return ProgramFacts(
        "\\",
        std::string(folder.size() == 2 && folder[1] == ':' ? modulePath.substr(0, slash + 1)
                                                           : folder),
        modulePath.substr(slash + 1));
}

Win32Application::Win32Application() : Win32Application(GetCommandLineA(), ModulePath()) {}

Win32Application::Win32Application(std::string_view commandLine, std::string_view modulePath)
    : facts_(MakeWin32AppFacts(modulePath)), command_(ArgumentText(commandLine)) {}

const AppFacts& Win32Application::App() {
    return facts_;
}

std::string Win32Application::Command() {
    return command_;
}

}  // namespace ww::platform
