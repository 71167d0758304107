#include "tests/e2e/desktops/DesktopSession.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <stdexcept>

namespace ww::e2e {

Output Capture(SpawnOptions options, std::chrono::milliseconds timeout) {
    static std::atomic<int> captures{0};
    if (options.stdoutPath.empty()) {
        throw std::runtime_error("Capture needs a path for the output");
    }
    options.stdoutPath += "." + std::to_string(++captures);
    Output output;
    output.code = RunToEnd(options, timeout);
    output.out = ReadFile(options.stdoutPath);
    std::error_code ignored;
    std::filesystem::remove(options.stdoutPath, ignored);
    return output;
}

std::vector<std::string> AsUnprivileged(std::vector<std::string> argv) {
    const std::string id = std::to_string(kUnprivilegedId);
    std::vector<std::string> full = {"setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups"};
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

bool OnPath(const std::string& program) {
    const std::string path = Environment::Clean().Get("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(':', start), path.size());
        const std::filesystem::path candidate =
            std::filesystem::path(path.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

void HandToUnprivileged(const std::string& path) {
    auto hand = [](const std::filesystem::path& p) {
        if (::chown(p.c_str(), kUnprivilegedId, kUnprivilegedId) != 0) {
            throw std::runtime_error("cannot hand " + p.string() + " to the unprivileged user");
        }
    };
    hand(path);
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
            hand(entry.path());
        }
    }
}

}  // namespace ww::e2e
