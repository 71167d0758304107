#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

using SecondInstanceTest = WakewatchTest;

TEST_F(SecondInstanceTest, IsRefusedWithAMessageAndLeavesTheFirstRunning) {
    Process& first = Launch("first");
    ASSERT_NE(WaitDocked(first.Pid()), 0u) << "first instance: " << first.Describe();
    const int saverTimeout = Probe().SaverTimeout();

    Process& second = Launch("second");
    XWindow box = 0;
    const bool shown = WaitFor(
        [&] {
            for (XWindow w : Probe().TopLevelsOf(second.Pid())) {
                if (Probe().Name(w) == "Wakewatch") {
                    box = w;
                    return true;
                }
            }
            return false;
        },
        15s);
    ASSERT_TRUE(shown) << "no \"Wakewatch\" window from the second instance, which is "
                       << second.Describe();

    Snapshot("message-box");
    const Trace trace = TraceOf("second");
    const auto boxes = trace.All("msgbox \"");
    ASSERT_EQ(boxes.size(), 1u);
    ASSERT_EQ(boxes[0].quoted.size(), 2u);
    EXPECT_EQ(boxes[0].quoted[0], "Wakewatch");
    EXPECT_EQ(boxes[0].quoted[1],
              "An instance of Wakewatch is already running.\r\n"
              "Shut it down before attempting to start another instance.");

    EXPECT_EQ(X().Xdotool({"windowfocus", "--sync", std::to_string(box), "key", "Return"}), 0);
    ASSERT_TRUE(second.WaitExit(10s)) << "the second instance outlived its message box";
    EXPECT_TRUE(second.ExitedNormally()) << second.Describe();
    EXPECT_TRUE(trace.Has("msgbox-closed"));
    EXPECT_FALSE(trace.Has("notify add")) << "the refused instance added an icon";

    EXPECT_TRUE(first.Running()) << first.Describe();
    EXPECT_FALSE(DockedOf(first.Pid()).empty()) << "the first instance lost its icon";
    EXPECT_EQ(Probe().SaverTimeout(), saverTimeout);
}

// The menu entry's "Open the Main Window" starts wakewatch -POPUP while
// Wakewatch runs: the running one shows its window, and no box appears.
TEST_F(SecondInstanceTest, APopupStartOpensTheRunningInstancesWindowInsteadOfTheBox) {
    Process& first = Launch("first");
    ASSERT_NE(WaitDocked(first.Pid()), 0u) << "first instance: " << first.Describe();
    ASSERT_EQ(MainWindowOf(first.Pid()), 0u);

    Process& second = Launch("second", {"-POPUP"});
    ASSERT_TRUE(second.WaitExit(10s)) << second.Describe();
    EXPECT_EQ(second.ExitCode(), 0) << second.Describe();
    EXPECT_TRUE(WaitFor([&] { return MainWindowOf(first.Pid()) != 0; }, 10s))
        << "the running instance did not show its window";
    EXPECT_FALSE(TraceOf("second").Has("msgbox")) << "the second start showed a box";
    EXPECT_TRUE(first.Running()) << first.Describe();
    Snapshot("popup-window");

    // Asked again while the window is open: still no box, the window stays.
    Process& third = Launch("third", {"-popup"});
    ASSERT_TRUE(third.WaitExit(10s)) << third.Describe();
    EXPECT_EQ(third.ExitCode(), 0) << third.Describe();
    EXPECT_NE(MainWindowOf(first.Pid()), 0u);
}

}  // namespace
}  // namespace ww::e2e
