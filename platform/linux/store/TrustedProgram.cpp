#include "platform/linux/store/TrustedProgram.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <string_view>
#include <vector>

#include "platform/linux/store/AtomicFile.h"

namespace ww::platform {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel allows

void PushComponents(std::string_view path, std::deque<std::string>& into) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const auto cut = path.find('/');
        if (cut != 0) {
            parts.emplace_back(path.substr(0, cut));
        }
        path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
    }
    into.insert(into.begin(), parts.begin(), parts.end());
}

std::optional<std::string> WhyNotSafe(const std::string& path, const struct stat& info) {
    if (info.st_uid != 0) {
        return path + " does not belong to root";
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return path + " is writable by group or others";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> WhyNotTrusted(const std::string& program) {
    if (program.empty() || program.front() != '/') {
        return "\"" + program + "\" is not an absolute path";
    }
    struct stat info {};
    if (lstat("/", &info) != 0) {
        return "/ cannot be checked";
    }
    if (auto why = WhyNotSafe("/", info)) {
        return why;
    }
    std::deque<std::string> rest;
    PushComponents(program, rest);
    std::string at = "/";  // checked so far
    int links = 0;
    while (!rest.empty()) {
        const std::string part = rest.front();
        rest.pop_front();
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            at = DirectoryOf(at);  // checked on the way down
            continue;
        }
        const std::string next = at == "/" ? "/" + part : at + "/" + part;
        if (lstat(next.c_str(), &info) != 0) {
            return next + " cannot be checked: " + std::strerror(errno);
        }
        if (S_ISLNK(info.st_mode)) {
            // The link itself lies in a folder already found safe, so only
            // root can change it; where it leads is checked in turn.
            std::vector<char> target(static_cast<std::size_t>(info.st_size) + 2);
            const ssize_t length = readlink(next.c_str(), target.data(), target.size());
            if (++links > kMaxLinks || length <= 0 ||
                static_cast<std::size_t>(length) >= target.size()) {
                return next + " cannot be followed";
            }
            const std::string_view leads(target.data(), static_cast<std::size_t>(length));
            PushComponents(leads, rest);
            if (leads.front() == '/') {
                at = "/";
            }
            continue;
        }
        if (auto why = WhyNotSafe(next, info)) {
            return why;
        }
        if (!rest.empty() && !S_ISDIR(info.st_mode)) {
            return next + " is not a folder";
        }
        if (rest.empty() && !S_ISREG(info.st_mode)) {
            return next + " is not a regular file";
        }
        at = next;
    }
    return std::nullopt;
}

}  // namespace ww::platform
