#include "platform/linux/qt/QtMainWindowView.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/qt/HandCursor.h"
#include "platform/linux/qt/TwipGeometry.h"
#include "platform/linux/qt/WidgetTestApplication.h"

namespace ww::platform {
namespace {

using C = MainControl;
using K = ControlKind;

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

ControlLayout Control(C id, K kind, C container, int page, std::string caption, int left, int top,
                      int width, int height) {
    ControlLayout layout{id, kind, container, page, std::move(caption), left, top, width, height};
    return layout;
}

// A small window with one control of every kind, laid out as the real one.
MainWindowLayout SmallWindowLayout() {
    static const std::vector<std::uint8_t> icon(32 * 32, 12);
    MainWindowLayout windowLayout;
    windowLayout.title = "Wakewatch";
    windowLayout.clientWidth = 5310;
    windowLayout.clientHeight = 5145;
    windowLayout.tabs = {"Status", "Settings", "About"};
    windowLayout.fontName = "Tahoma";
    windowLayout.fontPoints = 8.25;
    windowLayout.icon32 = IconImage{32, icon};
    auto& c = windowLayout.controls;
    c.push_back(Control(C::SSTab1, K::TabControl, C::Window, -1, "", 120, 120, 5055, 4500));
    c.push_back(Control(C::Frame4, K::Frame, C::SSTab1, 0, "System Uptime", 240, 480, 4575, 1095));
    c.push_back(Control(C::txtUptime, K::TextField, C::Frame4, 0, "", 360, 360, 4095, 285));
    c.back().readOnly = true;
    c.push_back(Control(C::Label6, K::Label, C::Frame4, 0, "CPU Usage:", 360, 660, 1215, 255));
    c.push_back(Control(C::Frame5, K::Frame, C::SSTab1, 1, "Hot Corners", 240, 480, 4575, 1695));
    c.push_back(Control(C::Picture1, K::Panel, C::Frame5, 1, "", 60, 240, 4455, 1335));
    c.push_back(Control(C::chkHotCorners, K::CheckBox, C::Picture1, 1, "&Enable Hot Corners", 300,
                        120, 3615, 255));
    c.push_back(Control(C::Label3, K::Label, C::Picture1, 1, "Placing mouse cursor ...", 180, 540,
                        4095, 615));
    c.back().wordWrap = true;
    c.push_back(Control(C::Image, K::Picture, C::SSTab1, 2, "", 300, 600, 480, 480));
    c.push_back(Control(C::lblAppName, K::Label, C::SSTab1, 2, "", 1020, 600, 3255, 255));
    c.back().bold = true;
    c.push_back(
        Control(C::lblCopyright, K::Label, C::SSTab1, 2, "Copyright", 240, 1320, 1725, 195));
    c.back().autoSize = true;
    c.push_back(
        Control(C::lblEmail, K::LinkLabel, C::SSTab1, 2, "A. Author", 2000, 1320, 900, 195));
    c.back().autoSize = true;
    c.back().underline = true;
    c.back().foreColor = 0x0000FF;
    c.back().toolTip = "e-mail the author";
    c.push_back(Control(C::Line2, K::Line, C::SSTab1, 2, "", 240, 2340, 4560, 0));
    c.push_back(Control(C::btnUnload, K::Button, C::Window, -1, "&Unload", 120, 4690, 1035, 348));
    c.back().tabIndex = 4;
    c.push_back(Control(C::btnOK, K::Button, C::Window, -1, "OK", 1980, 4690, 1035, 348));
    c.back().isDefault = true;
    c.back().tabIndex = 1;
    c.push_back(Control(C::btnCancel, K::Button, C::Window, -1, "Cancel", 3060, 4690, 1035, 348));
    c.back().isCancel = true;
    c.back().tabIndex = 2;
    c.push_back(Control(C::btnApply, K::Button, C::Window, -1, "&Apply", 4140, 4690, 1035, 348));
    c.back().tabIndex = 3;
    return windowLayout;
}

class QtMainWindowViewTest : public ::testing::Test {
  protected:
    QtMainWindowViewTest() {
        test::EnsureWidgetApplication();
        handle_ = view_.Create(windowLayout_, events_);
    }

    QWidget* W(C control) const { return view_.Widget(control); }
    template <typename T>
    T* As(C control) const {
        return qobject_cast<T*>(W(control));
    }
    // Where a control sits, in pixels from its container (from the tab
    // control's corner for the controls of a page).
    QRect Placed(C control, C container) const {
        QWidget* widget = W(control);
        return QRect(widget->mapTo(W(container), QPoint(0, 0)), widget->size());
    }
    void Send(C control, QEvent::Type type, Qt::MouseButton button = Qt::NoButton,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* widget = W(control);
        const QPointF at(2, 2);
        QMouseEvent event(type, at, widget->mapToGlobal(at), button,
                          type == QEvent::MouseMove ? Qt::NoButton : button, modifiers);
        QApplication::sendEvent(widget, &event);
    }

    WindowTable table_;
    LinuxWindowMessages windows_{table_};
    Trace trace_{std::string()};
    RunState run_;
    QtMainWindowView view_{table_, windows_, trace_, run_};
    MainWindowLayout windowLayout_ = SmallWindowLayout();
    RecordingEvents events_;
    Hwnd handle_ = 0;
};

TEST_F(QtMainWindowViewTest, PlacesEveryControlFromTwipsAt96Dpi) {
    ASSERT_NE(handle_, 0U);
    EXPECT_TRUE(table_.Exists(handle_));
    view_.Show();
    EXPECT_EQ(view_.Window()->size(), QSize(354, 343));
    struct Case {
        C control;
        C container;
        QRect pixels;
    };
    const Case cases[] = {
        {C::SSTab1, C::Window, {8, 8, 337, 300}},
        {C::Frame4, C::SSTab1, {16, 32, 305, 73}},
        {C::txtUptime, C::Frame4, {24, 24, 273, 19}},
        {C::Frame5, C::SSTab1, {16, 32, 305, 113}},
        {C::Picture1, C::Frame5, {4, 16, 297, 89}},
        {C::chkHotCorners, C::Picture1, {20, 8, 241, 17}},
        {C::Label3, C::Picture1, {12, 36, 273, 41}},
        {C::Image, C::SSTab1, {20, 40, 32, 32}},
        {C::lblAppName, C::SSTab1, {68, 40, 217, 17}},
        {C::Line2, C::SSTab1, {16, 155, 304, 3}},
        {C::btnUnload, C::Window, {8, 313, 69, 23}},
        {C::btnOK, C::Window, {132, 313, 69, 23}},
        {C::btnCancel, C::Window, {204, 313, 69, 23}},
        {C::btnApply, C::Window, {276, 313, 69, 23}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Placed(c.control, c.container), c.pixels) << MainControlName(c.control);
    }
    EXPECT_EQ(Placed(C::lblCopyright, C::SSTab1).topLeft(), QPoint(16, 88));
}

TEST_F(QtMainWindowViewTest, ControlsLookAsLaidOut) {
    EXPECT_EQ(view_.GetText(C::Window), "Wakewatch");
    auto* tabs = As<QTabWidget>(C::SSTab1);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), "About");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(As<QLineEdit>(C::txtUptime)->isReadOnly());
    EXPECT_FALSE(As<QLineEdit>(C::txtUptime)->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(As<QLabel>(C::lblAppName)->font().bold());
    EXPECT_TRUE(As<QLabel>(C::Label3)->wordWrap());
    auto* link = As<QLabel>(C::lblEmail);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link->toolTip(), "e-mail the author");
    EXPECT_EQ(As<QCheckBox>(C::chkHotCorners)->text(), "&Enable Hot Corners");
    EXPECT_FALSE(As<QLabel>(C::Image)->pixmap().isNull());
    EXPECT_TRUE(As<QPushButton>(C::btnOK)->isDefault());

    // Tab order among the buttons: OK, Cancel, Apply, Unload.
    std::vector<QWidget*> order;
    QWidget* next = W(C::btnOK);
    for (int i = 0; i < 4; ++i, next = next->nextInFocusChain()) {
        while (!(next->focusPolicy() & Qt::TabFocus)) {
            next = next->nextInFocusChain();
        }
        order.push_back(next);
    }
    EXPECT_EQ(order, (std::vector<QWidget*>{W(C::btnOK), W(C::btnCancel), W(C::btnApply),
                                            W(C::btnUnload)}));

    view_.SetBackColorButtonFace(C::txtUptime);
    const QPalette field = W(C::txtUptime)->palette();
    EXPECT_EQ(field.color(QPalette::Base), field.color(QPalette::Button));
}

TEST_F(QtMainWindowViewTest, WhatTheLogicSetsRaisesNoEvent) {
    view_.Show();
    events_.seen.clear();
    view_.SetText(C::txtUptime, "PC7 has been up for 1 day, 2:03:04");
    view_.SetText(C::lblAppName, "Wakewatch");
    view_.SetText(C::chkHotCorners, "&Hot");
    for (int state : {1, 2, 0, 1}) {
        view_.SetCheck(C::chkHotCorners, state);
        EXPECT_EQ(view_.GetCheck(C::chkHotCorners), state);
    }
    view_.SetLeft(C::lblEmail, 3000);
    view_.SetWindowState(WindowState::Minimized);
    EXPECT_EQ(view_.GetWindowState(), WindowState::Minimized);
    view_.SetWindowState(WindowState::Normal);
    EXPECT_EQ(view_.GetWindowState(), WindowState::Normal);
    EXPECT_EQ(events_.seen, std::vector<std::string>{});
    EXPECT_EQ(view_.GetText(C::txtUptime), "PC7 has been up for 1 day, 2:03:04");
    EXPECT_EQ(view_.GetText(C::chkHotCorners), "&Hot");
    EXPECT_EQ(view_.GetLeft(C::lblEmail), 3000);
    EXPECT_EQ(W(C::lblEmail)->x(), 200);
}

// The click rule reads the box's new state: Click comes after the change.
TEST_F(QtMainWindowViewTest, UserClickOnACheckBoxReportsTheNewState) {
    view_.Show();
    As<QTabWidget>(C::SSTab1)->setCurrentIndex(1);
    std::vector<int> stateAtClick;
    events_.onEvent = [&] { stateAtClick.push_back(view_.GetCheck(C::chkHotCorners)); };
    events_.seen.clear();
    for (int before : {0, 1, 2}) {
        view_.SetCheck(C::chkHotCorners, before);
        QTest::mouseClick(W(C::chkHotCorners), Qt::LeftButton);
    }
    EXPECT_EQ(events_.seen, std::vector<std::string>(3, "Click chkHotCorners"));
    EXPECT_EQ(stateAtClick, (std::vector<int>{1, 0, 0}));
}

TEST_F(QtMainWindowViewTest, ButtonsAndTheirKeys) {
    view_.Show();
    events_.seen.clear();
    W(C::SSTab1)->setFocus();
    QTest::keyClick(view_.Window(), Qt::Key_Return);
    QTest::keyClick(view_.Window(), Qt::Key_Escape);
    W(C::btnUnload)->setFocus();
    QTest::keyClick(W(C::btnUnload), Qt::Key_Return);
    QTest::mouseClick(W(C::btnApply), Qt::LeftButton);
    // A clicked button has the focus, and Enter presses it.
    QTest::keyClick(W(C::btnApply), Qt::Key_Enter);
    EXPECT_EQ(events_.seen,
              (std::vector<std::string>{"Click btnOK", "Click btnCancel", "Click btnUnload",
                                        "Click btnApply", "Click btnApply"}));
}

TEST_F(QtMainWindowViewTest, AutoSizedLabelsMeasureTheirText) {
    view_.SetText(C::lblCopyright, "Copyright (C) 2006");
    const QLabel* label = As<QLabel>(C::lblCopyright);
    const int textPixels = label->fontMetrics().horizontalAdvance("Copyright (C) 2006");
    EXPECT_GE(label->width(), textPixels);
    EXPECT_LE(label->width(), textPixels + 2);
    EXPECT_EQ(view_.GetWidth(C::lblCopyright), PixelsToTwips(label->width(), 96));
    // A fixed label keeps its laid-out width whatever its text.
    view_.SetText(C::lblAppName, "A much longer application title than before");
    EXPECT_EQ(view_.GetWidth(C::lblAppName), 3255);

    const int next = view_.GetLeft(C::lblCopyright) + view_.GetWidth(C::lblCopyright) + 60;
    view_.SetLeft(C::lblEmail, next);
    EXPECT_EQ(W(C::lblEmail)->x(), TwipsToPixels(next, 96));
    EXPECT_EQ(W(C::lblEmail)->y(), TwipsToPixels(1320, 96));
}

TEST_F(QtMainWindowViewTest, WindowEvents) {
    view_.Show();
    view_.Show();  // already the active window: nothing new
    view_.Hide();
    view_.Show();
    auto activations = std::count(events_.seen.begin(), events_.seen.end(), "Form_Activate");
    EXPECT_EQ(activations, 2);

    events_.seen.clear();
    view_.Window()->setWindowState(Qt::WindowMinimized);  // the title bar's minimise
    EXPECT_EQ(events_.seen, std::vector<std::string>{"Form_Resize"});
    EXPECT_EQ(view_.GetWindowState(), WindowState::Minimized);
    view_.Window()->setWindowState(Qt::WindowNoState);

    events_.seen.clear();
    EXPECT_FALSE(view_.Window()->close());
    EXPECT_EQ(events_.seen, std::vector<std::string>{"Form_Close"});
    EXPECT_TRUE(view_.Exists());
    EXPECT_TRUE(view_.Window()->isVisible());

    // Neither state shows a hidden window.
    view_.Hide();
    view_.SetWindowState(WindowState::Normal);
    EXPECT_FALSE(view_.Window()->isVisible());
}

TEST_F(QtMainWindowViewTest, MouseReachesTheLogicWhereTheLayoutListensForIt) {
    view_.Show();
    events_.seen.clear();
    Send(C::Window, QEvent::MouseMove);
    Send(C::SSTab1, QEvent::MouseMove);
    QMouseEvent overTabs(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(As<QTabWidget>(C::SSTab1)->tabBar(), &overTabs);
    Send(C::lblEmail, QEvent::MouseMove);
    Send(C::Label6, QEvent::MouseMove);  // a plain label keeps its moves to itself
    Send(C::Frame4, QEvent::MouseMove);
    Send(C::Image, QEvent::MouseButtonPress, Qt::LeftButton,
         Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    Send(C::Image, QEvent::MouseButtonPress, Qt::RightButton, Qt::ShiftModifier);
    Send(C::lblEmail, QEvent::MouseButtonPress, Qt::LeftButton);
    Send(C::lblEmail, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(events_.seen,
              (std::vector<std::string>{"MouseMove Window", "MouseMove SSTab1", "MouseMove SSTab1",
                                        "MouseMove lblEmail", "MouseDown Image 1 7",
                                        "MouseDown Image 2 1", "Click lblEmail"}));
    // Moves over empty page space belong to the tab control too.
    events_.seen.clear();
    const auto* tabs = As<QTabWidget>(C::SSTab1);
    QWidget* page = tabs->currentWidget();
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), page->mapToGlobal(QPointF(1, 1)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(page->childAt(1, 1) != nullptr ? page->childAt(1, 1) : page, &move);
    EXPECT_EQ(events_.seen, std::vector<std::string>{"MouseMove SSTab1"});
}

TEST_F(QtMainWindowViewTest, MousePointers) {
    view_.SetMousePointer(MousePointer::Hand);
    const QCursor hand = view_.Window()->cursor();
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(kHandHotX, kHandHotY));
    EXPECT_EQ(hand.bitmap().size(), QSize(32, 32));
    EXPECT_EQ(W(C::lblEmail)->cursor().shape(), Qt::BitmapCursor);  // inherited over the link
    view_.SetMousePointer(MousePointer::Default);
    EXPECT_EQ(view_.Window()->cursor().shape(), Qt::ArrowCursor);

    view_.SetApplicationMousePointer(MousePointer::Hourglass);
    view_.SetApplicationMousePointer(MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    view_.SetApplicationMousePointer(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(HandCursorTest, ArtIsSquareWithTheHotSpotOnTheFingerTip) {
    const auto& art = HandCursorArt();
    for (std::string_view row : art) {
        ASSERT_EQ(row.size(), static_cast<std::size_t>(kHandCursorSize));
        EXPECT_EQ(row.find_first_not_of("Xo."), std::string_view::npos);
    }
    EXPECT_EQ(art[kHandHotY][kHandHotX], 'X');
    for (int y = 0; y < kHandHotY; ++y) {
        EXPECT_EQ(art[static_cast<std::size_t>(y)].find('X'), std::string_view::npos);
    }
}

TEST_F(QtMainWindowViewTest, TheLayoutsPointerWins) {
    std::vector<std::uint8_t> pointer(32 * 32, kTransparent);
    pointer[2 * 32 + 3] = 0;
    windowLayout_.linkPointer = IconImage{32, pointer};
    windowLayout_.linkPointerHotX = 3;
    windowLayout_.linkPointerHotY = 2;
    view_.Create(windowLayout_, events_);
    view_.SetMousePointer(MousePointer::Hand);
    EXPECT_EQ(view_.Window()->cursor().hotSpot(), QPoint(3, 2));
}

TEST_F(QtMainWindowViewTest, DestroyFromInsideAClickEndsAllEvents) {
    view_.Show();
    events_.onEvent = [&] {
        if (events_.seen.back() == "Click btnCancel") {
            view_.Destroy();
        }
    };
    QTest::mouseClick(W(C::btnCancel), Qt::LeftButton);
    EXPECT_FALSE(view_.Exists());
    EXPECT_FALSE(table_.Exists(handle_));
    EXPECT_EQ(view_.Widget(C::btnOK), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    view_.Destroy();  // twice is harmless
    EXPECT_EQ(events_.seen.back(), "Click btnCancel");
}

TEST_F(QtMainWindowViewTest, NothingReachesTheLogicOnceTheProgramEnded) {
    view_.Show();
    events_.seen.clear();
    run_.End();
    QTest::mouseClick(W(C::btnOK), Qt::LeftButton);
    Send(C::Window, QEvent::MouseMove);
    view_.Window()->close();
    view_.Hide();
    view_.Show();
    EXPECT_EQ(events_.seen, std::vector<std::string>{});
}

}  // namespace
}  // namespace ww::platform
