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

}  // namespace
}  // namespace ww::e2e
