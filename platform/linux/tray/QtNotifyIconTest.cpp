#include "platform/linux/tray/QtNotifyIcon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ww::platform {
namespace {

// Records what reaches the toolkit.
class FakeTrayView final : public TrayView {
  public:
    void SetToolTip(const QString& tip) override {
        tips.push_back(tip.toStdString());
        qtips.push_back(tip);
    }
    void SetIcon(const QIcon& icon) override { icons.push_back(icon.cacheKey()); }
    void Show() override { shown = true; }
    void Hide() override { shown = false; }
    void SetClickHandler(ClickHandler handler) override { click = std::move(handler); }

    std::vector<std::string> tips;
    std::vector<QString> qtips;
    std::vector<qint64> icons;
    bool shown = false;
    ClickHandler click;
};

struct Message {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class QtNotifyIconTest : public ::testing::Test {
  protected:
    QtNotifyIconTest() {
        window_ = table_.Create(
            [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
                received_.push_back({message, wParam, lParam});
                return 0;
            });
        icon1_ = icon_.CreateIconFromImage(IconImage{16, pixels_});
        icon2_ = icon_.CreateIconFromImage(IconImage{16, pixels_});
    }

    NotifyIconData Request(std::uint32_t flags, HIcon hIcon, const std::string& tip) const {
        NotifyIconData data;
        data.cbSize = kNotifyIconDataSize;
        data.hWnd = window_;
        data.uID = 9999;
        data.uFlags = flags;
        data.uCallbackMessage = (flags & nif::kMessage) != 0 ? 512 : 0;
        data.hIcon = hIcon;
        std::memset(data.szTip, ' ', sizeof data.szTip);
        const std::size_t n = std::min(tip.size(), sizeof data.szTip - 1);
        std::memcpy(data.szTip, tip.data(), n);
        data.szTip[n] = '\0';
        return data;
    }
    bool Add(HIcon hIcon, const std::string& tip) {
        return icon_.Shell_NotifyIconA(nim::kAdd,
                                       Request(nif::kMessage | nif::kIcon | nif::kTip, hIcon, tip));
    }
    bool SetTip(const std::string& tip) {
        return icon_.Shell_NotifyIconA(nim::kModify, Request(nif::kTip, 0, tip));
    }
    bool SetIcon(HIcon hIcon) {
        return icon_.Shell_NotifyIconA(nim::kModify,
                                       Request(nif::kIcon | nif::kMessage, hIcon, ""));
    }
    bool Delete() { return icon_.Shell_NotifyIconA(nim::kDelete, Request(0, 0, "")); }

    std::vector<std::uint8_t> pixels_ = std::vector<std::uint8_t>(256, 7);
    std::vector<Message> received_;  // before the table, whose windows write here until it goes
    WindowTable table_;
    Hwnd window_ = 0;
    FakeTrayView view_;
    Trace trace_{std::string()};
    RunState run_;
    QtNotifyIcon icon_{view_, table_, trace_, run_};
    HIcon icon1_ = 0;
    HIcon icon2_ = 0;
};

TEST_F(QtNotifyIconTest, AddNeedsAHost) {
    icon_.SetHost(false);
    EXPECT_FALSE(Add(icon1_, "PC Wakewatch"));
    EXPECT_FALSE(view_.shown);
    icon_.HostAppeared();
    EXPECT_TRUE(Add(icon1_, "PC Wakewatch"));
    EXPECT_TRUE(view_.shown);
    EXPECT_EQ(view_.tips, std::vector<std::string>{"PC Wakewatch"});
    EXPECT_EQ(view_.icons.size(), 1U);
    EXPECT_FALSE(Add(icon1_, "PC Wakewatch"));  // already there
}

TEST_F(QtNotifyIconTest, OnlyRealChangesReachTheToolkit) {
    icon_.SetHost(true);
    ASSERT_TRUE(Add(icon1_, "PC up for 0:00:01"));
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_TRUE(SetTip("PC up for 0:00:01"));
        EXPECT_TRUE(SetIcon(icon1_));
    }
    EXPECT_TRUE(SetTip("PC up for 0:00:02"));
    EXPECT_TRUE(SetIcon(icon2_));
    EXPECT_TRUE(SetIcon(icon2_));
    EXPECT_EQ(view_.tips, (std::vector<std::string>{"PC up for 0:00:01", "PC up for 0:00:02"}));
    EXPECT_EQ(view_.icons.size(), 2U);
}

TEST_F(QtNotifyIconTest, ModifyAndDeleteNeedTheIconInTheTray) {
    icon_.SetHost(true);
    EXPECT_FALSE(SetTip("never added"));
    EXPECT_FALSE(Delete());
    ASSERT_TRUE(Add(icon1_, "tip"));

    NotifyIconData other = Request(nif::kTip, 0, "other window");
    other.hWnd = window_ + 1;
    EXPECT_FALSE(icon_.Shell_NotifyIconA(nim::kModify, other));
    other = Request(nif::kTip, 0, "other id");
    other.uID = 1;
    EXPECT_FALSE(icon_.Shell_NotifyIconA(nim::kDelete, other));

    EXPECT_TRUE(Delete());
    EXPECT_FALSE(view_.shown);
    EXPECT_FALSE(Delete());
    EXPECT_FALSE(SetTip("deleted"));
    EXPECT_FALSE(SetIcon(icon2_));
    EXPECT_FALSE(icon_.Shell_NotifyIconA(7, Request(0, 0, "")));  // no such request
}

TEST_F(QtNotifyIconTest, HostLossTakesTheIconUntilItIsAddedAgain) {
    icon_.SetHost(true);
    ASSERT_TRUE(Add(icon1_, "tip"));
    icon_.HostLost();
    EXPECT_FALSE(view_.shown);
    EXPECT_FALSE(icon_.InTray());
    // What the logic does every tick meanwhile: the tip fails, the repair add fails.
    EXPECT_FALSE(SetTip("tip"));
    EXPECT_FALSE(Add(icon1_, "PC Wakewatch"));
    EXPECT_FALSE(Delete());

    // "TaskbarCreated": remove (nothing there), then add the last picture and tip.
    icon_.HostAppeared();
    EXPECT_FALSE(Delete());
    EXPECT_TRUE(Add(icon1_, "tip"));
    EXPECT_TRUE(view_.shown);
    // The toolkit still had that tip and picture: nothing is sent again.
    EXPECT_EQ(view_.tips, std::vector<std::string>{"tip"});
    EXPECT_EQ(view_.icons.size(), 1U);
}

TEST_F(QtNotifyIconTest, AddWithoutTipOrPictureStartsEmpty) {
    icon_.SetHost(true);
    ASSERT_TRUE(Add(icon1_, "tip"));
    ASSERT_TRUE(Delete());
    ASSERT_TRUE(icon_.Shell_NotifyIconA(nim::kAdd, Request(nif::kMessage, icon1_, "ignored")));
    EXPECT_EQ(view_.tips, (std::vector<std::string>{"tip", ""}));
    ASSERT_EQ(view_.icons.size(), 2U);  // a blank picture: the toolkit shows none without one
    EXPECT_NE(view_.icons[0], view_.icons[1]);
}

TEST_F(QtNotifyIconTest, TipIsCutAt63Bytes) {
    icon_.SetHost(true);
    NotifyIconData data = Request(nif::kMessage | nif::kIcon | nif::kTip, icon1_, "");
    std::memset(data.szTip, 'a', sizeof data.szTip);  // no NUL at all
    ASSERT_TRUE(icon_.Shell_NotifyIconA(nim::kAdd, data));
    EXPECT_EQ(view_.tips.back(), std::string(63, 'a'));
    EXPECT_EQ(TipText(Request(nif::kTip, 0, "short")), "short");
}

TEST_F(QtNotifyIconTest, TipReachesTheToolkitAsUtf8) {
    icon_.SetHost(true);
    ASSERT_TRUE(Add(icon1_,
                    "K\xc3\xbc"
                    "che up for 0:00:01"));  // a computer called Küche
    EXPECT_EQ(view_.qtips.back(), QStringLiteral("K\u00fcche up for 0:00:01"));
}

TEST_F(QtNotifyIconTest, MouseActionsReachTheIconsWindow) {
    const struct {
        TrayClick click;
        std::intptr_t code;
    } cases[] = {
        {TrayClick::DoubleClick, 0x203},
        {TrayClick::Context, 0x204},
        {TrayClick::Trigger, 0x202},
        {TrayClick::Middle, 0x208},
    };
    icon_.SetHost(true);
    ASSERT_TRUE(Add(icon1_, "tip"));
    for (const auto& c : cases) {
        received_.clear();
        view_.click(c.click);
        ASSERT_EQ(received_.size(), 1U);
        EXPECT_EQ(received_[0].message, 512U);
        EXPECT_EQ(received_[0].wParam, 9999U);
        EXPECT_EQ(received_[0].lParam, c.code);
    }
}

TEST_F(QtNotifyIconTest, NoMouseMessagesWithoutIconOrAfterTheEnd) {
    icon_.SetHost(true);
    view_.click(TrayClick::Context);  // not added yet
    ASSERT_TRUE(Add(icon1_, "tip"));
    ASSERT_TRUE(Delete());
    view_.click(TrayClick::Context);
    ASSERT_TRUE(Add(icon1_, "tip"));
    run_.End();
    view_.click(TrayClick::DoubleClick);
    EXPECT_TRUE(received_.empty());
}

TEST_F(QtNotifyIconTest, MalformedImagesMakeNoIcon) {
    std::vector<std::uint8_t> badIndex(256, 7);
    badIndex[10] = 16;
    const std::vector<std::uint8_t> tooShort(255, 7);
    EXPECT_EQ(icon_.CreateIconFromImage(IconImage{16, badIndex}), 0U);
    EXPECT_EQ(icon_.CreateIconFromImage(IconImage{16, tooShort}), 0U);
    EXPECT_EQ(icon_.CreateIconFromImage(IconImage{0, {}}), 0U);
    EXPECT_NE(icon1_, 0U);
    EXPECT_NE(icon1_, icon2_);
}

}  // namespace
}  // namespace ww::platform
