#include "platform/linux/x11/X11TrayHover.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/e2e/XSession.h"

// Xlib last: its macros (None, Status, Bool) break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace ww::platform {
namespace {

// A private X server without a tray; the test plays the window manager,
// putting windows of each kind under the pointer.
class X11TrayHoverTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { session_ = std::make_unique<e2e::XSession>(false); }
    static void TearDownTestSuite() { session_.reset(); }

    X11TrayHoverTest()
        : program_(XOpenDisplay(session_->Display().c_str())),
          user_(XOpenDisplay(session_->Display().c_str())),
          root_(XDefaultRootWindow(user_)) {}
    ~X11TrayHoverTest() override {
        XCloseDisplay(program_);
        for (Window window : windows_) {
            XDestroyWindow(user_, window);
        }
        XDeleteProperty(user_, root_, Intern("_NET_SUPPORTING_WM_CHECK"));
        XCloseDisplay(user_);
    }

    ::Atom Intern(const char* name) { return XInternAtom(user_, name, False); }

    // What an EWMH window manager puts on the root.
    void AnnounceWindowManager() {
        const Window check = XCreateSimpleWindow(user_, root_, -10, -10, 1, 1, 0, 0, 0);
        windows_.push_back(check);
        XChangeProperty(user_, root_, Intern("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&check), 1);
    }

    // A mapped 200 × 200 window at (100, 100) or filling `parent`; typed
    // when `type` is given, marked a client when `client`.
    Window MapWindow(Window parent, const char* type, bool client) {
        const bool top = parent == root_;
        const Window window =
            XCreateSimpleWindow(user_, parent, top ? 100 : 0, top ? 100 : 0, 200, 200, 0, 0, 0);
        if (top) {
            windows_.push_back(window);
        }
        if (type != nullptr) {
            const ::Atom kind = Intern(type);
            XChangeProperty(user_, window, Intern("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&kind), 1);
        }
        if (client) {
            const long state[2] = {1, 0};  // NormalState, no icon window
            XChangeProperty(user_, window, Intern("WM_STATE"), Intern("WM_STATE"), 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(state), 2);
        }
        XMapWindow(user_, window);
        return window;
    }

    void MovePointer(int x, int y) {
        XWarpPointer(user_, None, root_, 0, 0, 0, 0, x, y);
        XSync(user_, False);
    }

    static std::unique_ptr<e2e::XSession> session_;
    Display* program_;
    Display* user_;
    Window root_;
    std::vector<Window> windows_;
};

std::unique_ptr<e2e::XSession> X11TrayHoverTest::session_;

TEST_F(X11TrayHoverTest, OnlyOrdinaryWindowsAndTheDesktopHideEveryTray) {
    struct Case {
        const char* what;
        bool windowManager;
        // Under the pointer: nothing (the root) when no client is made.
        bool window;
        // An untyped frame around the client, as window managers reparent.
        bool framed;
        const char* type;
        bool may;
    };
    const Case cases[] = {
        {"no window manager, over the root", false, false, false, nullptr, true},
        {"no window manager, over an ordinary window", false, true, false,
         "_NET_WM_WINDOW_TYPE_NORMAL", true},
        {"over the root", true, false, false, nullptr, false},
        {"over an ordinary window", true, true, false, "_NET_WM_WINDOW_TYPE_NORMAL", false},
        {"over a framed ordinary window", true, true, true, "_NET_WM_WINDOW_TYPE_NORMAL", false},
        {"over a dialog", true, true, true, "_NET_WM_WINDOW_TYPE_DIALOG", false},
        {"over the desktop", true, true, false, "_NET_WM_WINDOW_TYPE_DESKTOP", false},
        {"over an untyped client", true, true, true, nullptr, false},
        {"over a panel", true, true, false, "_NET_WM_WINDOW_TYPE_DOCK", true},
        {"over a framed panel", true, true, true, "_NET_WM_WINDOW_TYPE_DOCK", true},
        {"over a tray's popup", true, true, false, "_NET_WM_WINDOW_TYPE_POPUP_MENU", true},
        {"over a tooltip", true, true, false, "_NET_WM_WINDOW_TYPE_TOOLTIP", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.windowManager) {
            AnnounceWindowManager();
        }
        if (c.window) {
            const Window parent = c.framed ? MapWindow(root_, nullptr, false) : root_;
            MapWindow(parent, c.type, true);
        }
        MovePointer(150, 150);
        X11TrayHover hover(program_);
        EXPECT_EQ(hover.PointerMayBeOnTray(), c.may);

        // Off the window, only the root is under the pointer.
        MovePointer(600, 600);
        EXPECT_EQ(hover.PointerMayBeOnTray(), !c.windowManager);

        for (Window window : windows_) {
            XDestroyWindow(user_, window);
        }
        windows_.clear();
        XDeleteProperty(user_, root_, Intern("_NET_SUPPORTING_WM_CHECK"));
        XSync(user_, False);
    }
}

}  // namespace
}  // namespace ww::platform
