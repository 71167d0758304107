#include "tests/e2e/Environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace ww::e2e {

namespace {

bool Dropped(std::string_view name) {
    static constexpr std::string_view exact[] = {"DISPLAY",
                                                 "WAYLAND_DISPLAY",
                                                 "DBUS_SESSION_BUS_ADDRESS",
                                                 "SESSION_MANAGER",
                                                 "XAUTHORITY",
                                                 "WAKEWATCH_TRACE",
                                                 "ASAN_OPTIONS",
                                                 "DESKTOP_SESSION",
                                                 "XDG_SESSION_ID",
                                                 "XDG_CURRENT_DESKTOP"};
    for (auto e : exact) {
        if (name == e) {
            return true;
        }
    }
    return name.starts_with("QT_") || name.starts_with("XDG_");
}

}  // namespace

Environment Environment::Clean() {
    Environment env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string_view text(*entry);
        auto eq = text.find('=');
        if (eq == std::string_view::npos || Dropped(text.substr(0, eq))) {
            continue;
        }
        env.vars_[std::string(text.substr(0, eq))] = std::string(text.substr(eq + 1));
    }
    return env;
}

std::string Environment::Get(const std::string& name) const {
    auto it = vars_.find(name);
    return it == vars_.end() ? std::string() : it->second;
}

std::vector<std::string> Environment::Entries() const {
    std::vector<std::string> entries;
    entries.reserve(vars_.size());
    for (const auto& [name, value] : vars_) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/wakewatch-e2e-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    if (!keep_) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

std::string TempDir::Sub(const std::string& name) const {
    std::string path = path_ + "/" + name;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        throw std::runtime_error("mkdir failed for " + path);
    }
    return path;
}

}  // namespace ww::e2e
