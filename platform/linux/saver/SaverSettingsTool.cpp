#include "platform/linux/saver/SaverSettingsTool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace ww::platform {
namespace {

struct Candidate {
    const char* program;
    const char* argument;  // nullptr: none
    const char* desktops;  // XDG_CURRENT_DESKTOP names it belongs to, ':'-separated
    StartWay saver;        // the saver whose settings it holds
};

// In the order tried when no desktop is recognised: the stand-alone saver
// first, as it runs under any desktop, then each desktop's own settings.
// xscreensaver's tools are X11 programs: they are only offered where
// xscreensaver or the X server is the saver, never on Wayland.
constexpr std::array<Candidate, 9> kCandidates = {{
    {"xscreensaver-settings", nullptr, "LXDE:LXQt", StartWay::XScreenSaverActivate},
    {"xscreensaver-demo", nullptr, "LXDE:LXQt", StartWay::XScreenSaverActivate},
    {"xfce4-screensaver-preferences", nullptr, "XFCE", StartWay::FreedesktopSetActive},
    {"mate-screensaver-preferences", nullptr, "MATE", StartWay::MateSetActive},
    {"cinnamon-settings", "screensaver", "X-Cinnamon:Cinnamon", StartWay::CinnamonSetActive},
    // Screen blanking and locking is the "screen" panel since GNOME 43.
    {"gnome-control-center", "screen", "GNOME:Unity:ubuntu:Pantheon", StartWay::GnomeSetActive},
    {"budgie-control-center", "privacy", "Budgie", StartWay::GnomeSetActive},
    {"kcmshell6", "kcm_screenlocker", "KDE", StartWay::FreedesktopSetActive},
    {"kcmshell5", "kcm_screenlocker", "KDE", StartWay::FreedesktopSetActive},
}};

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Calls `each` with every ':'-separated part of `list`.
template <typename Each>
void ForEachPart(std::string_view list, Each each) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        each(list.substr(start, end - start));
        start = end + 1;
    }
}

bool BelongsTo(const Candidate& candidate, std::string_view desktops) {
    bool found = false;
    ForEachPart(desktops, [&](std::string_view desktop) {
        ForEachPart(candidate.desktops, [&](std::string_view own) {
            found = found || (!desktop.empty() && SameName(desktop, own));
        });
    });
    return found;
}

std::optional<ToolCommand> Command(const Candidate& candidate, std::string_view searchPath) {
    std::string path = FindExecutable(searchPath, candidate.program);
    if (path.empty()) {
        return std::nullopt;
    }
    ToolCommand command{std::move(path), {}};
    if (candidate.argument != nullptr) {
        command.arguments.emplace_back(candidate.argument);
    }
    return command;
}

}  // namespace

std::string FindExecutable(std::string_view searchPath, std::string_view name) {
    std::string found;
    if (searchPath.empty()) {
        return found;
    }
    ForEachPart(searchPath, [&](std::string_view directory) {
        if (!found.empty()) {
            return;
        }
        std::string path = directory.empty() ? std::string(".") : std::string(directory);
        path += '/';
        path += name;
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(path.c_str(), X_OK) == 0) {
            found = std::move(path);
        }
    });
    return found;
}

std::optional<ToolCommand> FindSaverSettingsTool(std::string_view searchPath,
                                                 std::string_view desktops, StartWay saver) {
    if (saver == StartWay::None || saver == StartWay::LogindLock) {
        return std::nullopt;
    }
    const bool any = saver == StartWay::XServer;
    const auto offered = [&](const Candidate& candidate) {
        return any || candidate.saver == saver;
    };
    // A desktop whose own saver answers on the freedesktop interface keeps
    // its settings in its own tool, whatever that saver is called.
    const auto ownDesktops = [&](const Candidate& candidate) {
        return offered(candidate) || (saver == StartWay::FreedesktopSetActive &&
                                      candidate.saver != StartWay::XScreenSaverActivate);
    };
    for (const Candidate& candidate : kCandidates) {
        if (ownDesktops(candidate) && BelongsTo(candidate, desktops)) {
            if (auto command = Command(candidate, searchPath)) {
                return command;
            }
        }
    }
    for (const Candidate& candidate : kCandidates) {
        if (offered(candidate)) {
            if (auto command = Command(candidate, searchPath)) {
                return command;
            }
        }
    }
    return std::nullopt;
}

}  // namespace ww::platform
