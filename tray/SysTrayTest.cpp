#include "tray/SysTray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/sim/SimPlatform.h"

namespace ww::tray {
namespace {

using platform::SimNotifyIcon;
using platform::SimPlatform;
namespace nim = platform::nim;

class NoEvents : public platform::TrayFormEvents {
  public:
    void PictureBoxMouseMove(int, int, float, float) override {}
    void PlatformClose() override {}
};

class SysTrayTest : public ::testing::Test {
  protected:
    SysTrayTest() : tray(sim.notifyIcon(), sim.windows(), [this] { return startupLook; }) {
        windows = sim.forms().CreateTrayForm(events);
        tray.LoadPictures(windows.pictureBox);
    }

    const SimNotifyIcon::TrayIcon* Icon() {
        return sim.notifyIcon().Icon(windows.pictureBox, kTrayIconId);
    }
    const SimNotifyIcon::Request& LastRequest() { return sim.notifyIcon().Requests().back(); }
    TrayPicture PictureOf(platform::HIcon handle) const {
        for (std::size_t i = 0; i < kTrayPictureCount; ++i) {
            if (tray.IconHandle(static_cast<TrayPicture>(i)) == handle) {
                return static_cast<TrayPicture>(i);
            }
        }
        ADD_FAILURE() << "unknown icon handle " << handle;
        return TrayPicture::imgIcon_none;
    }

    SimPlatform sim;
    TrayIconLook startupLook{TrayPicture::imgIcon_none, "OFFICE7 Wakewatch"};
    NoEvents events;
    platform::Forms::TrayFormWindows windows;
    SysTray tray;
};

TEST_F(SysTrayTest, EachRequestFillsTheRecordAsTheShellExpectsIt) {
    struct Expected {
        std::uint32_t message, flags, callback;
        bool hasIcon, hasTip;
    };
    tray.AddTrayIcon(TrayPicture::imgIcon_rx, "tip one");
    const Expected add{nim::kAdd, 7, 0x200, true, true};
    tray.SetTrayTip("tip two");
    const Expected tip{nim::kModify, 4, 0, false, true};
    tray.SetTrayIcon(TrayPicture::imgSleepNow);
    const Expected icon{nim::kModify, 2, 0x200, true, false};
    tray.RemoveTrayIcon();
    const Expected del{nim::kDelete, 0, 0, false, false};

    const auto& requests = sim.notifyIcon().Requests();
    ASSERT_EQ(requests.size(), 4u);
    const Expected expected[] = {add, tip, icon, del};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto& data = requests[i].data;
        EXPECT_EQ(requests[i].message, expected[i].message);
        EXPECT_EQ(data.cbSize, 88u);
        EXPECT_EQ(data.hWnd, windows.pictureBox);
        EXPECT_EQ(data.uID, 9999u);
        EXPECT_EQ(data.uFlags, expected[i].flags);
        EXPECT_EQ(data.uCallbackMessage, expected[i].callback);
        EXPECT_EQ(data.hIcon != 0, expected[i].hasIcon);
        EXPECT_EQ(data.szTip[0] != '\0', expected[i].hasTip);
    }
    EXPECT_EQ(PictureOf(requests[0].data.hIcon), TrayPicture::imgIcon_rx);
    EXPECT_EQ(PictureOf(requests[2].data.hIcon), TrayPicture::imgSleepNow);
    EXPECT_EQ(Icon(), nullptr);
}

TEST(SysTrayRecord, TooltipFieldHoldsAtMost63CharactersThenNulThenBlanks) {
    struct Case {
        std::size_t length;
        std::size_t shown;
    };
    for (Case c : {Case{0, 0}, Case{10, 10}, Case{63, 63}, Case{64, 63}, Case{200, 63}}) {
        SCOPED_TRACE(c.length);
        std::string tip;
        for (std::size_t i = 0; i < c.length; ++i) {
            tip += static_cast<char>('a' + i % 26);
        }
        const auto data = SysTray::MakeRecord(1, 4, 0, 0, tip, true);
        EXPECT_EQ(std::string(data.szTip, c.shown), tip.substr(0, c.shown));
        EXPECT_EQ(data.szTip[c.shown], '\0');
        for (std::size_t i = c.shown + 1; i < sizeof data.szTip; ++i) {
            EXPECT_EQ(data.szTip[i], ' ') << "byte " << i;
        }
    }
}

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(SysTrayRecord, TheTipIsCutAt63CharactersAndTheFieldBetweenCharacters) {
    const std::string e = "\xC3\xA9";      // é, two bytes
    const std::string a = "\xE3\x81\x82";  // あ, three bytes
    const struct {
        const char* name;
        std::string tip;
        std::string shown;  // the tip the record carries
        std::string field;  // what szTip holds before its NUL
    } cases[] = {
        {"ascii", std::string(70, 'x'), std::string(63, 'x'), std::string(63, 'x')},
        {"two-byte characters count once", Repeat(e, 63), Repeat(e, 63), Repeat(e, 31)},
        {"and are cut at 63 too", Repeat(e, 64), Repeat(e, 63), Repeat(e, 31)},
        {"a name before the uptime", "b" + Repeat(a, 10) + " up for 1 day, 0:00:00",
         "b" + Repeat(a, 10) + " up for 1 day, 0:00:00",
         "b" + Repeat(a, 10) + " up for 1 day, 0:00:00"},
        {"the field ends before a character straddling byte 63", std::string(62, 'x') + e,
         std::string(62, 'x') + e, std::string(62, 'x')},
        {"four-byte characters", Repeat("\xF0\x9F\x98\x80", 70), Repeat("\xF0\x9F\x98\x80", 63),
         Repeat("\xF0\x9F\x98\x80", 15)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto data = SysTray::MakeRecord(1, 4, 0, 0, c.tip, true);
        EXPECT_EQ(platform::TipText(data), c.shown);
        EXPECT_EQ(std::string(data.szTip), c.field);
        for (std::size_t i = c.field.size() + 1; i < sizeof data.szTip; ++i) {
            EXPECT_EQ(data.szTip[i], ' ') << "byte " << i;
        }
    }
}

TEST_F(SysTrayTest, FailedTooltipChangeReAddsTheStartupIconAsItLooksNow) {
    // The start-up look is asked for at the moment of the repair, not kept.
    const TrayIconLook looks[] = {{TrayPicture::imgIcon_none, "OFFICE7 Wakewatch"},
                                  {TrayPicture::imgSleeperDisabled_none, " Wakewatch"}};
    for (const TrayIconLook& look : looks) {
        SCOPED_TRACE(look.tip);
        startupLook = look;
        tray.AddTrayIcon(TrayPicture::imgSleepNever_rxtx, "before");
        sim.notifyIcon().LoseIcons();
        tray.SetTrayTip("OFFICE7 up for 0 days, 0:00:01");
        ASSERT_NE(Icon(), nullptr);
        EXPECT_EQ(Icon()->tip, look.tip);
        EXPECT_EQ(PictureOf(Icon()->hIcon), look.picture);
        // The asked-for tip shows on the next call.
        tray.SetTrayTip("OFFICE7 up for 0 days, 0:00:02");
        EXPECT_EQ(Icon()->tip, "OFFICE7 up for 0 days, 0:00:02");
        tray.RemoveTrayIcon();
    }
}

TEST_F(SysTrayTest, TaskbarRestartBringsBackLastPictureAndTip) {
    tray.HookTrayWindow(windows.form);
    tray.AddTrayIcon(TrayPicture::imgIcon_none, "OFFICE7 Wakewatch");
    tray.SetTrayIcon(TrayPicture::imgSleepNever_tx);
    tray.SetTrayTip("OFFICE7 up for 1 day, 0:00:00");
    sim.log().Clear();

    sim.notifyIcon().RestartTaskbar();

    ASSERT_NE(Icon(), nullptr);
    EXPECT_EQ(Icon()->tip, "OFFICE7 up for 1 day, 0:00:00");
    EXPECT_EQ(PictureOf(Icon()->hIcon), TrayPicture::imgSleepNever_tx);
    // Delete, then add; then the message goes on to the previous procedure.
    const auto notify = sim.log().WithPrefix("Shell_NotifyIconA");
    ASSERT_EQ(notify.size(), 2u);
    EXPECT_NE(notify[0].find("NIM_DELETE"), std::string::npos);
    EXPECT_NE(notify[1].find("NIM_ADD"), std::string::npos);
    EXPECT_EQ(sim.log().Count("CallWindowProcA"), 1u);
}

TEST_F(SysTrayTest, DestroyRestoresThePreviousProcedureAndStopsListening) {
    tray.HookTrayWindow(windows.form);
    tray.AddTrayIcon(TrayPicture::imgIcon_none, "tip");
    sim.log().Clear();
    sim.forms().DestroyTrayForm();
    // WM_DESTROY put the old procedure back without passing the message on.
    EXPECT_EQ(sim.log().Count("SetWindowLongA"), 1u);
    EXPECT_EQ(sim.log().Count("CallWindowProcA"), 0u);
}

TEST_F(SysTrayTest, FailedRegistrationMeansNoHookAndUnhookDoesNothing) {
    sim.windows().SetRegisterFails(true);
    tray.HookTrayWindow(windows.form);
    tray.AddTrayIcon(TrayPicture::imgIcon_none, "tip");
    EXPECT_EQ(sim.log().Count("SetWindowLongA"), 0u);
    sim.notifyIcon().RestartTaskbar();
    EXPECT_EQ(Icon(), nullptr);  // only the tooltip repair will bring it back
    tray.SetTrayTip("next");
    EXPECT_NE(Icon(), nullptr);
    tray.UnhookTrayWindow();
    EXPECT_EQ(sim.log().Count("SetWindowLongA"), 0u);
}

TEST_F(SysTrayTest, RemoveWithoutIconChangesNothingAndKeepsMemory) {
    tray.HookTrayWindow(windows.form);
    tray.RemoveTrayIcon();
    EXPECT_FALSE(LastRequest().succeeded);
    tray.AddTrayIcon(TrayPicture::imgDisable_rx, "kept");
    tray.RemoveTrayIcon();
    EXPECT_EQ(Icon(), nullptr);
    // A taskbar restart puts back what was last shown.
    sim.notifyIcon().RestartTaskbar();
    ASSERT_NE(Icon(), nullptr);
    EXPECT_EQ(PictureOf(Icon()->hIcon), TrayPicture::imgDisable_rx);
    EXPECT_EQ(Icon()->tip, "kept");
}

}  // namespace
}  // namespace ww::tray
