#include "platform/linux/SessionKind.h"

#include <gtest/gtest.h>

#include <map>

namespace ww::platform {
namespace {

TEST(SessionKindTest, WaylandWhenItsSocketIsNamedOrTheSessionSaysSo) {
    const struct {
        std::map<std::string, std::string> env;
        SessionKind kind;
    } cases[] = {
        {{}, SessionKind::X11},
        {{{"DISPLAY", ":0"}}, SessionKind::X11},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, SessionKind::Wayland},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, SessionKind::Wayland},
        {{{"WAYLAND_DISPLAY", ""}, {"DISPLAY", ":0"}}, SessionKind::X11},
        {{{"XDG_SESSION_TYPE", "wayland"}}, SessionKind::Wayland},
        {{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":1"}}, SessionKind::X11},
        {{{"XDG_SESSION_TYPE", "tty"}}, SessionKind::X11},
    };
    for (const auto& c : cases) {
        const auto kind = DetectSessionKind([&](const char* name) {
            const auto found = c.env.find(name);
            return found == c.env.end() ? std::string() : found->second;
        });
        EXPECT_EQ(kind, c.kind) << testing::PrintToString(c.env);
    }
}

}  // namespace
}  // namespace ww::platform
