#include "platform/linux/LinuxApplication.h"

#include <limits.h>
#include <unistd.h>

#include "platform/common/ProgramFacts.h"

namespace ww::platform {

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            joined += ' ';
        }
        joined += arguments[i];
    }
    return joined;
}

AppFacts MakeAppFacts(std::string_view exePath) {
    const std::size_t slash = exePath.rfind('/');
    if (slash == std::string_view::npos) {
        return ProgramFacts("/", std::string(), exePath);
    }
    return ProgramFacts("/", std::string(exePath.substr(0, slash == 0 ? 1 : slash)),
                        exePath.substr(slash + 1));
}

std::string CurrentExecutablePath() {
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return std::string();
    }
    std::string result(path, static_cast<std::size_t>(n));
    // A program file replaced while running reads back with this suffix.
    constexpr std::string_view kDeleted = " (deleted)";
    if (result.ends_with(kDeleted)) {
        result.resize(result.size() - kDeleted.size());
    }
    return result;
}

LinuxApplication::LinuxApplication(std::vector<std::string> arguments, std::string_view exePath)
    : facts_(MakeAppFacts(exePath)), command_(JoinArguments(arguments)) {}

const AppFacts& LinuxApplication::App() {
    return facts_;
}

std::string LinuxApplication::Command() {
    return command_;
}

}  // namespace ww::platform
