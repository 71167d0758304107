#include "platform/win32/Win32NotifyIcon.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/win32/Win32Calls.h"
#include "tray/TrayPictures.h"

namespace ww::platform {
namespace {

NotifyIconData Record(Hwnd window, std::uint32_t flags, HIcon icon, const char* tip) {
    NotifyIconData data;
    data.cbSize = 88;
    data.hWnd = window;
    data.uID = 9999;
    data.uFlags = flags;
    data.uCallbackMessage = (flags & nif::kMessage) != 0 ? 0x200 : 0;
    data.hIcon = icon;
    std::strncpy(data.szTip, tip, sizeof data.szTip - 1);
    return data;
}

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

class Win32NotifyIconTest : public ::testing::Test {
  protected:
    Win32NotifyIconTest() {
        window_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~Win32NotifyIconTest() override { DestroyWindow(window_); }

    Hwnd Window() const { return FromWin(window_); }

    HWND window_ = nullptr;
};

TEST(TipFieldTest, TheTipIsCutAt63BytesAndPaddedWithBlanks) {
    const std::string tip63(63, 'a');
    const std::string tip64 = tip63 + "b";
    const struct {
        std::string tip;
        std::size_t length;
    } cases[] = {{"", 0}, {"OFFICE7 up for 0:00:01", 22}, {tip63, 63}, {tip64, 63}};
    for (const auto& c : cases) {
        NotifyIconData data;
        // szTip holds at most 63 bytes and a NUL: a longer text arrives cut.
        std::memcpy(data.szTip, c.tip.data(), std::min<std::size_t>(c.tip.size(), 63));
        const std::array<char, 64> field = TipField(data);
        EXPECT_EQ(std::string(field.data()), c.tip.substr(0, 63));
        EXPECT_EQ(field[c.length], '\0');
        for (std::size_t i = c.length + 1; i < field.size(); ++i) {
            EXPECT_EQ(field[i], ' ') << c.tip << " at " << i;
        }
    }
}

TEST_F(Win32NotifyIconTest, MakesOneIconPerPictureAndRefusesBadImages) {
    Win32NotifyIcon notify;
    std::set<HIcon> icons;
    for (std::size_t i = 0; i < tray::kTrayPictureCount; ++i) {
        const HIcon icon =
            notify.CreateIconFromImage(tray::PictureImage(static_cast<tray::TrayPicture>(i)));
        ASSERT_NE(icon, 0u) << i;
        ICONINFO info{};
        ASSERT_NE(GetIconInfo(ToWin<HICON>(icon), &info), FALSE);
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 16);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        icons.insert(icon);
    }
    EXPECT_EQ(icons.size(), tray::kTrayPictureCount);
    EXPECT_NE(notify.CreateIconFromImage(tray::ProgramIconImage(32)), 0u);

    const std::array<std::uint8_t, 4> tooFew{};
    const std::array<std::uint8_t, 4> badIndex{0, 1, 16, 2};
    EXPECT_EQ(notify.CreateIconFromImage(IconImage{16, tooFew}), 0u);
    EXPECT_EQ(notify.CreateIconFromImage(IconImage{2, badIndex}), 0u);
    EXPECT_EQ(notify.CreateIconFromImage(IconImage{0, {}}), 0u);
}

TEST_F(Win32NotifyIconTest, AddModifyAndDeleteGoToTheShellAndAreTraced) {
    const std::string path = TempFile("ww-desktop-notify.txt");
    {
        Win32Trace trace(path);
        Win32NotifyIcon notify(trace);
        const HIcon normal =
            notify.CreateIconFromImage(tray::PictureImage(tray::TrayPicture::imgIcon_none));
        const HIcon rx =
            notify.CreateIconFromImage(tray::PictureImage(tray::TrayPicture::imgIcon_rx));

        EXPECT_TRUE(notify.Shell_NotifyIconA(
            nim::kAdd,
            Record(Window(), nif::kMessage | nif::kIcon | nif::kTip, normal, "PC Wakewatch")));
        EXPECT_TRUE(notify.Shell_NotifyIconA(nim::kModify,
                                             Record(Window(), nif::kTip, 0, "PC up for 0:00:01")));
        EXPECT_TRUE(notify.Shell_NotifyIconA(nim::kModify,
                                             Record(Window(), nif::kMessage | nif::kIcon, rx, "")));
        EXPECT_TRUE(notify.Shell_NotifyIconA(nim::kDelete, Record(Window(), 0, 0, "")));
        // The icon is gone: changing or deleting it again fails.
        EXPECT_FALSE(notify.Shell_NotifyIconA(nim::kModify,
                                              Record(Window(), nif::kTip, 0, "PC up for 0:00:02")));
        EXPECT_FALSE(notify.Shell_NotifyIconA(nim::kDelete, Record(Window(), 0, 0, "")));

        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        const std::string lines = text.str();
        const std::string expected[] = {
            "notify add ok hIcon=" + std::to_string(normal) + " tip=\"PC Wakewatch\"\n",
            "notify modify ok tip=\"PC up for 0:00:01\"\n",
            "notify modify ok hIcon=" + std::to_string(rx) + "\n",
            "notify delete ok\n",
            "notify modify fail tip=\"PC up for 0:00:02\"\n",
            "notify delete fail\n",
        };
        std::size_t from = 0;
        for (const std::string& line : expected) {
            const std::size_t at = lines.find(line, from);
            EXPECT_NE(at, std::string::npos) << line << "in\n" << lines;
            from = at == std::string::npos ? from : at + line.size();
        }
    }
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace ww::platform
