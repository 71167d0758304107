#include "platform/linux/tray/QtTrayMenu.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/linux/qt/WidgetTestApplication.h"
#include "platform/linux/tray/QtTrayView.h"

namespace ww::platform {
namespace {

class RecordingMenuEvents final : public TrayMenuEvents {
  public:
    void MenuCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

const std::vector<MenuItem> kItems = {{1, "&Restore Wakewatch..."},
                                      {0, "-"},
                                      {2, "Enable &Hot Corners"},
                                      {0, "-"},
                                      {3, "&Start Screen Saver..."},
                                      {4, "&Disable Screen Saver"},
                                      {5, "&Configure Screen Saver..."},
                                      {0, "-"},
                                      {6, "E&xit Wakewatch"}};

class QtTrayMenuTest : public ::testing::Test {
  protected:
    QtTrayMenuTest() : view_(trace_), menu_(trace_, run_) { menu_.CreateMenu(kItems, 1, events_); }
    ~QtTrayMenuTest() override { menu_.Menu().hide(); }

    bool app_ = (test::EnsureWidgetApplication(), true);
    Trace trace_{std::string()};
    RunState run_;
    RecordingMenuEvents events_;
    QtTrayView view_;  // outlives the menu, which it may hold
    QtTrayMenu menu_;
};

TEST_F(QtTrayMenuTest, ItemsInOrderWithTheDefaultInBold) {
    const QList<QAction*> entries = menu_.Menu().actions();
    ASSERT_EQ(entries.size(), 9);
    std::vector<std::string> captions;
    for (const QAction* entry : entries) {
        captions.push_back(entry->isSeparator() ? "-" : entry->text().toStdString());
    }
    std::vector<std::string> expected;
    for (const MenuItem& item : kItems) {
        expected.push_back(item.caption);
    }
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(menu_.Menu().defaultAction(), menu_.Action(1));
    EXPECT_TRUE(menu_.Action(1)->font().bold());
    EXPECT_FALSE(menu_.Action(2)->font().bold());
}

TEST_F(QtTrayMenuTest, ChecksAndGreys) {
    struct Case {
        bool checked;
        bool enabled;
    };
    for (const Case& c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
        menu_.SetItemState(2, c.checked, c.enabled);
        const QAction* item = menu_.Action(2);
        EXPECT_EQ(item->isChecked(), c.checked);
        EXPECT_EQ(item->isCheckable(), c.checked);  // no empty box beside an unchecked item
        EXPECT_EQ(item->isEnabled(), c.enabled);
    }
    menu_.SetItemState(99, true, true);  // unknown ids are ignored
}

// The command comes from the event loop, after the menu has closed.
TEST_F(QtTrayMenuTest, ChosenItemsArriveQueued) {
    menu_.Action(4)->trigger();
    EXPECT_TRUE(events_.commands.empty());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(events_.commands, std::vector<int>{4});

    menu_.Action(6)->trigger();
    run_.End();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(events_.commands, std::vector<int>{4});
}

TEST_F(QtTrayMenuTest, PopsUpOnceAtTheCursor) {
    menu_.PopupMenu();
    EXPECT_TRUE(menu_.Menu().isVisible());
    const QPoint first = menu_.Menu().pos();
    menu_.PopupMenu();  // showing already
    EXPECT_EQ(menu_.Menu().pos(), first);
}

}  // namespace
}  // namespace ww::platform
