#include "platform/win32/Win32MainWindowView.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/FrmMainLayout.h"

namespace ww::platform {
namespace {

using C = MainControl;

class RecordingEvents final : public MainWindowEvents {
  public:
    void Form_Activate() override { Add("Form_Activate"); }
    void Form_Resize() override { Add("Form_Resize"); }
    void Form_Close() override { Add("Form_Close"); }
    void Click(MainControl control) override {
        Add(std::string("Click ") + MainControlName(control));
    }
    void MouseMove(MainControl control) override {
        Add(std::string("MouseMove ") + MainControlName(control));
    }
    void MouseDown(MainControl control, int button, int shift) override {
        Add(std::string("MouseDown ") + MainControlName(control) + " " + std::to_string(button) +
            " " + std::to_string(shift));
    }

    std::vector<std::string> seen;
    std::function<void()> onEvent;  // runs after each event is recorded

  private:
    void Add(std::string what) {
        seen.push_back(std::move(what));
        if (onEvent) {
            onEvent();
        }
    }
};

// The events other than mouse moves: the pointer sits somewhere on the
// screen, and a window that appears under it hears of it.
std::vector<std::string> WithoutMoves(std::vector<std::string> events) {
    std::erase_if(events, [](const std::string& e) { return e.starts_with("MouseMove"); });
    return events;
}

void Pump() {
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

bool HasStyle(HWND window, LONG style) {
    return (::GetWindowLongA(window, GWL_STYLE) & style) == style;
}

class Win32MainWindowViewTest : public ::testing::Test {
  protected:
    Win32MainWindowViewTest() { handle_ = view_.Create(ui::FrmMainLayout(), events_); }

    HWND W(C control) const { return view_.ControlWindow(control); }
    HWND Dialog() const { return view_.Window(); }

    // Where a control sits in the window's client area, in pixels.
    RECT Place(C control) const {
        RECT rect{};
        ::GetWindowRect(W(control), &rect);
        ::MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    void ChooseTab(int page) {
        HWND tabs = W(C::SSTab1);
        RECT item{};
        ::SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(page),
                       reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        ::SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(tabs, WM_LBUTTONUP, 0, at);
    }

    static bool At96Dpi() { return Win32TwipScale::Screen().DotsPerInch() == 96; }

    Win32MainWindowView view_{::GetModuleHandleA(nullptr)};
    RecordingEvents events_;
    Hwnd handle_ = 0;
};

TEST_F(Win32MainWindowViewTest, BuildsTheLaidOutWindowHiddenWithEveryControl) {
    ASSERT_NE(handle_, 0U);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle_)), Dialog());
    EXPECT_FALSE(::IsWindowVisible(Dialog()));
    EXPECT_EQ(view_.GetText(C::Window), "Wakewatch");
    EXPECT_EQ(::SendMessageA(W(C::SSTab1), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageA(W(C::SSTab1), TCM_GETCURSEL, 0, 0), 0);

    struct Kind {
        ControlKind kind;
        const char* className;
        LONG style;
    };
    const std::vector<Kind> kinds = {{ControlKind::TabControl, WC_TABCONTROLA, 0},
                                     {ControlKind::Frame, "Button", BS_GROUPBOX},
                                     {ControlKind::Panel, "Static", 0},
                                     {ControlKind::TextField, "Edit", ES_READONLY},
                                     {ControlKind::Label, "Static", SS_NOPREFIX},
                                     {ControlKind::LinkLabel, "Static", SS_NOTIFY},
                                     {ControlKind::CheckBox, "Button", BS_3STATE},
                                     {ControlKind::Button, "Button", WS_TABSTOP},
                                     {ControlKind::Picture, "Static", SS_ICON},
                                     {ControlKind::Line, "Static", SS_ETCHEDHORZ}};
    for (const ControlLayout& layout : ui::FrmMainLayout().controls) {
        SCOPED_TRACE(MainControlName(layout.id));
        HWND window = W(layout.id);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(::GetParent(window), Dialog());
        for (const Kind& kind : kinds) {
            if (kind.kind == layout.kind) {
                EXPECT_STRCASEEQ(ClassOf(window).c_str(), kind.className);
                EXPECT_TRUE(HasStyle(window, kind.style));
            }
        }
        EXPECT_EQ(HasStyle(window, WS_VISIBLE), layout.page <= 0);  // page 0 is selected
    }
    EXPECT_TRUE(HasStyle(W(C::btnOK), BS_DEFPUSHBUTTON));
    EXPECT_EQ(::SendMessageA(W(C::Image), STM_GETICON, 0, 0) != 0, true);
}

TEST_F(Win32MainWindowViewTest, ClientAreaAndControlsSitAtTheirTwipPositions) {
    if (!At96Dpi()) {
        GTEST_SKIP() << "the pixel values below are for 96 dpi";
    }
    RECT client{};
    ::GetClientRect(Dialog(), &client);
    EXPECT_EQ(client.right, 354);   // 5310 twips
    EXPECT_EQ(client.bottom, 343);  // 5145 twips

    // Twips of the control and its containers, added up, then each edge in pixels.
    struct Case {
        C control;
        RECT pixels;
    };
    const std::vector<Case> cases = {
        {C::SSTab1, {8, 8, 345, 308}},         {C::Frame4, {24, 40, 329, 113}},  // 120+240, 120+480
        {C::txtUptime, {48, 64, 321, 83}},                                       // inside Frame4
        {C::chkHotCorners, {48, 64, 289, 81}},  // inside Picture1 inside Frame5
        {C::Label5, {40, 236, 313, 269}},       // inside Picture2 inside Frame6
        {C::btnOK, {132, 313, 201, 336}},       // on the window
        {C::btnApply, {276, 313, 345, 336}},   {C::Image, {28, 48, 60, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(MainControlName(c.control));
        const RECT place = Place(c.control);
        EXPECT_EQ(place.left, c.pixels.left);
        EXPECT_EQ(place.top, c.pixels.top);
        EXPECT_EQ(place.right, c.pixels.right);
        EXPECT_EQ(place.bottom, c.pixels.bottom);
    }
}

TEST_F(Win32MainWindowViewTest, TextsRoundTripThroughEveryKindOfControl) {
    const std::vector<std::pair<C, std::string>> cases = {
        {C::Window, "Wakewatch 2"},
        {C::txtUptime, "OFFICE7 has been up for 2 days, 3:04:05"},
        {C::lblAppName, "Wakewatch"},
        {C::lblEEgg, ""},
        {C::btnApply, "&Apply"},
        {C::Frame4, "System Uptime"},
        {C::chkHotCorners, "&Enable Hot Corners"},
        {C::lblCopyright, "Copyright \u00A9 2001-2006"},  // outside ASCII
    };
    for (const auto& [control, text] : cases) {
        SCOPED_TRACE(MainControlName(control));
        view_.SetText(control, text);
        EXPECT_EQ(view_.GetText(control), text);
    }
    EXPECT_EQ(view_.GetText(C::lblVisit), "visit the");  // the layout's caption
    EXPECT_TRUE(events_.seen.empty());
}

TEST_F(Win32MainWindowViewTest, CheckStatesIncludingGreyRoundTripWithoutEvents) {
    const std::vector<std::pair<int, LRESULT>> cases = {
        {1, BST_CHECKED}, {2, BST_INDETERMINATE}, {0, BST_UNCHECKED}};
    for (C box : {C::chkHotCorners, C::chkAutoStartAll, C::chkAutoStartCurr}) {
        for (const auto& [state, shown] : cases) {
            SCOPED_TRACE(std::string(MainControlName(box)) + " " + std::to_string(state));
            view_.SetCheck(box, state);
            EXPECT_EQ(view_.GetCheck(box), state);
            EXPECT_EQ(::SendMessageA(W(box), BM_GETCHECK, 0, 0), shown);
        }
    }
    EXPECT_EQ(view_.GetCheck(C::btnOK), 0);
    EXPECT_TRUE(events_.seen.empty());
}

TEST_F(Win32MainWindowViewTest, UserClickTicksUntickedAndUnticksTheRestThenReports) {
    view_.Show();
    ChooseTab(1);
    int stateAtClick = -1;
    events_.onEvent = [&] { stateAtClick = view_.GetCheck(C::chkAutoStartCurr); };
    const std::vector<std::pair<int, int>> cases = {{0, 1}, {1, 0}, {2, 0}};
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before);
        view_.SetCheck(C::chkAutoStartCurr, before);
        events_.seen.clear();
        ::SendMessageA(W(C::chkAutoStartCurr), BM_CLICK, 0, 0);
        EXPECT_EQ(WithoutMoves(events_.seen), std::vector<std::string>{"Click chkAutoStartCurr"});
        EXPECT_EQ(stateAtClick, after);  // changed before the logic hears of it
        EXPECT_EQ(view_.GetCheck(C::chkAutoStartCurr), after);
    }
}

TEST_F(Win32MainWindowViewTest, LeftsAndWidthsAreTwipsAndLabelsSizeToTheirText) {
    EXPECT_EQ(view_.GetLeft(C::lblWebsite), 240 + 570 + 60);
    EXPECT_EQ(view_.GetWidth(C::txtUptime), 4095);  // fixed size: the layout's width

    view_.SetLeft(C::lblWebsite, 1500);
    EXPECT_EQ(view_.GetLeft(C::lblWebsite), 1500);
    const Win32TwipScale scale = Win32TwipScale::Screen();
    EXPECT_EQ(Place(C::lblWebsite).left, scale.ToPixels(120 + 1500));

    const int shortWidth = view_.GetWidth(C::lblVisit);
    EXPECT_GT(shortWidth, 0);
    EXPECT_EQ(shortWidth, scale.ToTwips(Place(C::lblVisit).right - Place(C::lblVisit).left));
    view_.SetText(C::lblVisit, "visit the Wakewatch");
    EXPECT_GT(view_.GetWidth(C::lblVisit), shortWidth);
    EXPECT_EQ(view_.GetLeft(C::lblVisit), 240);
}

TEST_F(Win32MainWindowViewTest, ChoosingATabShowsOnlyThatPagesControls) {
    view_.Show();
    for (int page : {1, 2, 0, 2}) {
        SCOPED_TRACE(page);
        ChooseTab(page);
        EXPECT_EQ(::SendMessageA(W(C::SSTab1), TCM_GETCURSEL, 0, 0), page);
        for (const ControlLayout& layout : ui::FrmMainLayout().controls) {
            SCOPED_TRACE(MainControlName(layout.id));
            EXPECT_EQ(::IsWindowVisible(W(layout.id)) != FALSE,
                      layout.page == -1 || layout.page == page);
        }
    }
}

TEST_F(Win32MainWindowViewTest, ButtonsEnterAndEscapeReachClick) {
    view_.Show();
    for (C button : {C::btnUnload, C::btnOK, C::btnCancel, C::btnApply}) {
        events_.seen.clear();
        ::SendMessageA(W(button), BM_CLICK, 0, 0);
        EXPECT_EQ(WithoutMoves(events_.seen),
                  std::vector<std::string>{std::string("Click ") + MainControlName(button)});
    }
    // Keys go through the message queue, where the dialog manager takes them.
    ChooseTab(1);
    struct Key {
        UINT message;
        WPARAM key;
        LPARAM flags;
        std::string click;
    };
    const LPARAM alt = 1 | (1 << 29);
    const std::vector<Key> keys = {{WM_KEYDOWN, VK_RETURN, 1, "Click btnOK"},
                                   {WM_KEYDOWN, VK_ESCAPE, 1, "Click btnCancel"},
                                   {WM_SYSCHAR, 'a', alt, "Click btnApply"},
                                   {WM_SYSCHAR, 'e', alt, "Click chkHotCorners"}};
    for (const Key& key : keys) {
        SCOPED_TRACE(key.click);
        events_.seen.clear();
        ::SetFocus(W(C::SSTab1));
        ::PostMessageA(W(C::SSTab1), key.message, key.key, key.flags);
        Pump();
        EXPECT_EQ(WithoutMoves(events_.seen), std::vector<std::string>{key.click});
    }
}

TEST_F(Win32MainWindowViewTest, TabOrderFollowsTheLayoutAndContainersStayBelowTheirContents) {
    view_.Show();
    ChooseTab(1);
    const std::vector<C> tabOrder = {C::chkHotCorners, C::chkAutoStartAll, C::chkAutoStartCurr,
                                     C::btnOK,         C::btnCancel,       C::btnApply,
                                     C::btnUnload,     C::SSTab1,          C::chkHotCorners};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        SCOPED_TRACE(MainControlName(tabOrder[i - 1]));
        EXPECT_EQ(::GetNextDlgTabItem(Dialog(), W(tabOrder[i - 1]), FALSE), W(tabOrder[i]));
    }

    // Painting order: what lies higher covers what lies below where they overlap.
    auto above = [this](C upper, C lower) {
        for (HWND at = ::GetWindow(W(upper), GW_HWNDNEXT); at != nullptr;
             at = ::GetWindow(at, GW_HWNDNEXT)) {
            if (at == W(lower)) {
                return true;
            }
        }
        return false;
    };
    const std::vector<std::pair<C, C>> pairs = {
        {C::chkHotCorners, C::Picture1}, {C::Picture1, C::Frame5}, {C::Frame5, C::SSTab1},
        {C::txtUptime, C::Frame4},       {C::Label5, C::Picture2}, {C::lblEmail, C::SSTab1},
        {C::txtStartTime, C::txtUptime},  // the later field's edge lies on the earlier one's
    };
    for (const auto& [upper, lower] : pairs) {
        SCOPED_TRACE(std::string(MainControlName(upper)) + " above " + MainControlName(lower));
        EXPECT_TRUE(above(upper, lower));
    }
}

TEST_F(Win32MainWindowViewTest, DestroyInsideAnEventIsSafe) {
    const std::vector<std::function<void()>> clicks = {
        [this] { ::SendMessageA(W(C::btnOK), BM_CLICK, 0, 0); },
        [this] {
            ::PostMessageA(W(C::btnApply), WM_KEYDOWN, VK_ESCAPE, 1);
            Pump();
        },
        [this] {
            ::SendMessageA(W(C::lblEmail), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
            ::SendMessageA(W(C::lblEmail), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        },
    };
    for (std::size_t i = 0; i < clicks.size(); ++i) {
        SCOPED_TRACE(i);
        events_.seen.clear();
        events_.onEvent = nullptr;
        ASSERT_NE(view_.Create(ui::FrmMainLayout(), events_), 0U);
        view_.Show();
        events_.seen.clear();
        HWND dialog = Dialog();
        events_.onEvent = [this] {
            if (events_.seen.back().starts_with("Click")) {
                view_.Destroy();
            }
        };
        clicks[i]();
        Pump();
        ASSERT_EQ(WithoutMoves(events_.seen).size(), 1U);
        EXPECT_TRUE(events_.seen.back().starts_with("Click"));  // nothing after it
        EXPECT_FALSE(view_.Exists());
        EXPECT_FALSE(::IsWindow(dialog));
    }
}

TEST_F(Win32MainWindowViewTest, ShowActivatesOnlyWhenItWasHiddenAndCloseOnlyReports) {
    view_.Show();
    view_.Show();
    EXPECT_TRUE(::IsWindowVisible(Dialog()));
    EXPECT_EQ(std::count(events_.seen.begin(), events_.seen.end(), "Form_Activate"), 1);
    view_.Hide();
    EXPECT_FALSE(::IsWindowVisible(Dialog()));
    view_.Show();
    EXPECT_EQ(std::count(events_.seen.begin(), events_.seen.end(), "Form_Activate"), 2);

    events_.seen.clear();
    ::SendMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WithoutMoves(events_.seen), std::vector<std::string>{"Form_Close"});
    EXPECT_TRUE(view_.Exists());
    EXPECT_TRUE(::IsWindowVisible(Dialog()));
}

TEST_F(Win32MainWindowViewTest, UserMinimiseReportsAResizeAndTheLogicCanHideAndRestore) {
    view_.Show();
    events_.seen.clear();
    std::vector<WindowState> statesSeen;
    events_.onEvent = [&] {
        statesSeen.push_back(view_.GetWindowState());
        // The logic's resize rule: a minimised window goes back to the tray.
        if (view_.GetWindowState() == WindowState::Minimized) {
            view_.Hide();
            view_.SetWindowState(WindowState::Normal);
        }
    };
    ::SendMessageA(Dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_FALSE(statesSeen.empty());
    EXPECT_EQ(statesSeen.front(), WindowState::Minimized);
    EXPECT_FALSE(::IsWindowVisible(Dialog()));
    EXPECT_EQ(view_.GetWindowState(), WindowState::Normal);

    events_.onEvent = nullptr;
    view_.Show();
    EXPECT_TRUE(::IsWindowVisible(Dialog()));
    EXPECT_FALSE(::IsIconic(Dialog()));

    // A state the logic sets is not reported back to it; a hidden window keeps it hidden.
    events_.seen.clear();
    view_.SetWindowState(WindowState::Minimized);
    EXPECT_EQ(view_.GetWindowState(), WindowState::Minimized);
    view_.SetWindowState(WindowState::Normal);
    EXPECT_EQ(view_.GetWindowState(), WindowState::Normal);
    view_.Hide();
    view_.SetWindowState(WindowState::Minimized);
    EXPECT_FALSE(::IsWindowVisible(Dialog()));
    EXPECT_EQ(view_.GetWindowState(), WindowState::Minimized);
    EXPECT_EQ(std::count(events_.seen.begin(), events_.seen.end(), "Form_Resize"), 0);
}

TEST_F(Win32MainWindowViewTest, MouseMovesPressesAndLinkClicksReachTheirControls) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE withAlt[256] = {};
    std::copy(std::begin(keys), std::end(keys), std::begin(withAlt));
    withAlt[VK_MENU] = 0x80;

    struct Case {
        HWND target;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool alt;
        std::vector<std::string> expected;
    };
    const LPARAM inside = MAKELPARAM(2, 2);
    const std::vector<Case> cases = {
        {W(C::lblEmail), WM_MOUSEMOVE, 0, inside, false, {"MouseMove lblEmail"}},
        {W(C::lblWebsite), WM_MOUSEMOVE, 0, inside, false, {"MouseMove lblWebsite"}},
        {W(C::SSTab1), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100), false, {"MouseMove SSTab1"}},
        {Dialog(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2), false, {"MouseMove Window"}},
        {W(C::Image),
         WM_LBUTTONDOWN,
         MK_LBUTTON | MK_SHIFT | MK_CONTROL,
         inside,
         true,
         {"MouseDown Image 1 7"}},
        {W(C::Image), WM_RBUTTONDOWN, MK_RBUTTON, inside, false, {"MouseDown Image 2 0"}},
        {W(C::Image),
         WM_LBUTTONDBLCLK,
         MK_LBUTTON | MK_SHIFT,
         inside,
         false,
         {"MouseDown Image 1 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.front());
        events_.seen.clear();
        ::SetKeyboardState(c.alt ? withAlt : keys);
        ::SendMessageA(c.target, c.message, c.wParam, c.lParam);
        ::SetKeyboardState(keys);
        EXPECT_EQ(events_.seen, c.expected);
    }

    // A link's click is a left press and release on it.
    const std::vector<std::pair<LPARAM, std::vector<std::string>>> releases = {
        {inside, {"Click lblWebsite"}}, {MAKELPARAM(3000, 3000), {}}};
    for (const auto& [at, expected] : releases) {
        events_.seen.clear();
        ::SendMessageA(W(C::lblWebsite), WM_LBUTTONDOWN, MK_LBUTTON, inside);
        ::SendMessageA(W(C::lblWebsite), WM_LBUTTONUP, 0, at);
        EXPECT_EQ(events_.seen, expected);
    }
}

TEST_F(Win32MainWindowViewTest, PointersFollowTheWindowAndTheApplicationSettings) {
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
    auto setCursorOver = [this](C control) {
        ::SetCursor(nullptr);
        const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
        ::SendMessageA(Dialog(), WM_SETCURSOR, reinterpret_cast<WPARAM>(W(control)), hit);
        return ::GetCursor();
    };
    EXPECT_NE(setCursorOver(C::Label9), wait);  // the system's choice

    view_.SetMousePointer(MousePointer::Hand);
    HCURSOR hand = setCursorOver(C::lblEmail);
    EXPECT_NE(hand, nullptr);
    EXPECT_NE(hand, arrow);
    EXPECT_EQ(setCursorOver(C::Label9), hand);
    EXPECT_NE(setCursorOver(C::txtUptime), hand);  // text fields keep their own

    view_.SetApplicationMousePointer(MousePointer::Hourglass);
    EXPECT_EQ(::GetCursor(), wait);
    EXPECT_EQ(setCursorOver(C::txtUptime), wait);
    view_.SetApplicationMousePointer(MousePointer::Default);
    EXPECT_EQ(::GetCursor(), arrow);
    view_.SetMousePointer(MousePointer::Default);
    EXPECT_NE(setCursorOver(C::lblEmail), hand);
}

TEST_F(Win32MainWindowViewTest, FieldsTurnToButtonFaceAndLinksAreBlue) {
    HDC dc = ::GetDC(Dialog());
    auto colourRequest = [&](C control) {
        return reinterpret_cast<HBRUSH>(::SendMessageA(Dialog(), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(W(control))));
    };
    EXPECT_EQ(colourRequest(C::txtUptime), ::GetSysColorBrush(COLOR_WINDOW));
    view_.SetBackColorButtonFace(C::txtUptime);
    EXPECT_EQ(colourRequest(C::txtUptime), ::GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(colourRequest(C::txtStartTime), ::GetSysColorBrush(COLOR_WINDOW));

    colourRequest(C::lblWebsite);
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
    ::ReleaseDC(Dialog(), dc);
}

TEST_F(Win32MainWindowViewTest, InitCommonControlsExChecksTheStructureSize) {
    EXPECT_TRUE(view_.InitCommonControlsEx(8, 0x200));
    EXPECT_FALSE(view_.InitCommonControlsEx(12, 0x200));
}

}  // namespace
}  // namespace ww::platform
