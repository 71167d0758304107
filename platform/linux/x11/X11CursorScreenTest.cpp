#include "platform/linux/x11/X11CursorScreen.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/XSession.h"

// Xlib last: its macros (None, Status, Bool) break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace ww::platform {
namespace {

// A private 1024 × 768 X server; the test moves the pointer and edits the
// monitors on a connection of its own.
class X11CursorScreenTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { session_ = std::make_unique<e2e::XSession>(); }
    static void TearDownTestSuite() { session_.reset(); }

    X11CursorScreenTest()
        : program_(XOpenDisplay(session_->Display().c_str())),
          user_(XOpenDisplay(session_->Display().c_str())),
          root_(XDefaultRootWindow(user_)) {}
    ~X11CursorScreenTest() override {
        XCloseDisplay(program_);
        XCloseDisplay(user_);
    }

    void MovePointer(int x, int y) {
        XWarpPointer(user_, None, root_, 0, 0, 0, 0, x, y);
        XSync(user_, False);
    }

    // A monitor of the primary screen's height at `left`, `width` wide.
    void AddMonitor(const char* name, int left, int width, bool primary) {
        XRRMonitorInfo* monitor = XRRAllocateMonitor(user_, 0);
        monitor->name = XInternAtom(user_, name, False);
        monitor->primary = primary ? True : False;
        monitor->x = left;
        monitor->y = 0;
        monitor->width = width;
        monitor->height = 768;
        monitor->mwidth = width / 4;
        monitor->mheight = 192;
        XRRSetMonitor(user_, root_, monitor);
        XRRFreeMonitors(monitor);
        XSync(user_, False);
    }
    void RemoveMonitor(const char* name) {
        XRRDeleteMonitor(user_, root_, XInternAtom(user_, name, False));
        XSync(user_, False);
    }

    // Hands every event the program's connection got so far to the screen.
    void FeedEvents(X11CursorScreen& screen) {
        XSync(program_, False);
        while (XPending(program_) > 0) {
            XEvent event;
            XNextEvent(program_, &event);
            screen.OnXEvent(static_cast<std::uint8_t>(event.type & 0x7F),
                            static_cast<std::uint32_t>(event.xany.window));
        }
    }

    static std::unique_ptr<e2e::XSession> session_;
    Display* program_;
    Display* user_;
    Window root_;
};

std::unique_ptr<e2e::XSession> X11CursorScreenTest::session_;

TEST_F(X11CursorScreenTest, CursorAndScreenInNativePixels) {
    X11CursorScreen screen(program_);
    EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), 1024);
    EXPECT_EQ(screen.GetSystemMetrics(kSmCyScreen), 768);
    EXPECT_EQ(screen.GetSystemMetrics(2), 0);

    const Point points[] = {{0, 0}, {4, 764}, {1020, 764}, {1023, 767}, {512, 300}};
    for (const Point& p : points) {
        MovePointer(p.x, p.y);
        Point seen{-1, -1};
        ASSERT_TRUE(screen.GetCursorPos(seen));
        EXPECT_EQ(seen.x, p.x);
        EXPECT_EQ(seen.y, p.y);
    }
}

TEST_F(X11CursorScreenTest, PrimaryMonitorIsReadAgainOnlyAfterAScreenChange) {
    X11CursorScreen screen(program_);
    ASSERT_GE(screen.RandrEventBase(), 0) << "the server lacks RandR 1.5";
    XSelectInput(program_, root_, PropertyChangeMask);  // someone else's on the connection
    screen.SelectScreenEvents();
    XWindowAttributes attributes;
    ASSERT_NE(XGetWindowAttributes(program_, root_, &attributes), 0);
    EXPECT_EQ(attributes.your_event_mask, PropertyChangeMask | StructureNotifyMask);
    EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), 1024);

    // A primary monitor right of a 400-pixel one: (0, 0) moves to its corner.
    AddMonitor("WW_LEFT", 0, 400, false);
    AddMonitor("WW_PRIMARY", 400, 624, true);
    screen.OnXEvent(MapNotify, static_cast<std::uint32_t>(root_));  // not a screen change
    EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), 1024);

    FeedEvents(screen);
    EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), 624);
    EXPECT_EQ(screen.GetSystemMetrics(kSmCyScreen), 768);
    MovePointer(0, 767);
    Point seen;
    ASSERT_TRUE(screen.GetCursorPos(seen));
    EXPECT_EQ(seen.x, -400);
    EXPECT_EQ(seen.y, 767);
    MovePointer(1023, 767);
    ASSERT_TRUE(screen.GetCursorPos(seen));
    EXPECT_EQ(seen.x, 623);

    // Without a primary monitor the whole X screen counts.
    RemoveMonitor("WW_PRIMARY");
    RemoveMonitor("WW_LEFT");
    FeedEvents(screen);
    EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), 1024);
    ASSERT_TRUE(screen.GetCursorPos(seen));
    EXPECT_EQ(seen.x, 1023);
}

TEST_F(X11CursorScreenTest, EveryKindOfScreenChangeCounts) {
    X11CursorScreen screen(program_);
    ASSERT_GE(screen.RandrEventBase(), 0);
    const int base = screen.RandrEventBase();
    const std::uint32_t root = static_cast<std::uint32_t>(root_);
    struct Case {
        int type;
        std::uint32_t window;
        bool counts;
    };
    const Case cases[] = {{ConfigureNotify, root, true},
                          {ConfigureNotify, root + 1, false},
                          {base + RRScreenChangeNotify, 0, true},
                          {base + RRNotify, 0, true},
                          {base + 2, 0, false},
                          {PropertyNotify, root, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), 1024);
        AddMonitor("WW_PRIMARY", 0, 512, true);
        screen.OnXEvent(static_cast<std::uint8_t>(c.type), c.window);
        EXPECT_EQ(screen.GetSystemMetrics(kSmCxScreen), c.counts ? 512 : 1024);
        RemoveMonitor("WW_PRIMARY");
        screen.ScreenChanged();
    }
}

}  // namespace
}  // namespace ww::platform
