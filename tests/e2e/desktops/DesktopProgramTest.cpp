#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/SniBus.h"
#include "tests/e2e/Trace.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/desktops/CinnamonSaverSession.h"
#include "tests/e2e/desktops/KdeSession.h"
#include "tests/e2e/desktops/MateSession.h"
#include "tests/e2e/desktops/Pixels.h"
#include "tests/e2e/desktops/XfceSession.h"

namespace ww::e2e {
namespace {

// The menu's entries (com.canonical.dbusmenu ids).
constexpr int kRestore = 1;
constexpr int kHotCorners = 3;
constexpr int kStart = 5;
constexpr int kDisable = 6;
constexpr int kConfigure = 7;
constexpr int kExit = 9;

// The program on a real desktop, observed through that desktop's own saver
// service and the X server; its menu is reached over dbusmenu, as a panel
// does. One desktop is brought up for the whole suite: its idle delays are a
// minute long, and a test waits for one at most twice.
template <typename Session>
class ProgramOnDesktop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const std::string& program : Session::kPrograms) {
            if (!OnPath(program)) {
                missing_ = program;
                return;
            }
        }
        desk_ = std::make_unique<Session>();
        desk_->ForTheSuite();
        desk_->Start();
    }
    static void TearDownTestSuite() {
        // WW_E2E_KEEP=1 keeps it after a pass too.
        if (desk_ && (failed_ || std::getenv("WW_E2E_KEEP") != nullptr)) {
            std::cerr << "Logs of the desktop: " << desk_->Dir() << "\n";
            desk_->KeepDir();
        }
        desk_.reset();
    }

    void SetUp() override {
        if (!missing_.empty()) {
            GTEST_SKIP() << missing_ << " is not installed";
        }
        ASSERT_TRUE(desk_) << "the desktop did not come up";
    }
    void TearDown() override {
        programs_.clear();
        failed_ = failed_ || HasFailure();
    }

    Session& Desk() { return *desk_; }
    XProbe& Probe() { return desk_->Desktop().X().Probe(); }
    std::string Dir() const { return desk_->Dir(); }

    // The saver's own answer, the same twice in a row.
    bool Active() { return desk_->SaverActive() && desk_->SaverActive(); }

    // Starts the program and waits for its item at the session's watcher
    // (unless there is none to wait for).
    Process& Launch(bool watched = true) {
        SpawnOptions program;
        program.argv = {WW_PROGRAM_PATH};
        program.env = desk_->ProgramEnv("wakewatch").Entries();
        const std::string name = "wakewatch-" + std::to_string(++launches_);
        program.stdoutPath = Dir() + "/" + name + ".stdout";
        program.stderrPath = Dir() + "/" + name + ".stderr";
        Process& launched = programs_.emplace_back(program);
        if (!watched) {
            return launched;
        }
        EXPECT_TRUE(WaitFor([&] { return Bus().Call({"props"}).code == 0; }, 20s, 200ms))
            << "no item at the watcher; the program is " << launched.Describe() << ", "
            << ReadFile(launched.StderrPath());
        return launched;
    }
    SniBus& Bus() {
        if (!bus_) {
            bus_ = std::make_unique<SniBus>(Dir(), WW_SNI_HOST_PATH, desk_->Desktop().BusAddress());
        }
        return *bus_;
    }
    std::vector<TraceLine> Menu() { return Bus().Call({"menu"}).lines; }
    bool Click(int id) { return Bus().Call({"click", std::to_string(id)}).code == 0; }
    // The menu's check on "Disable Screen Saver" is at `state` ("0" or "1").
    bool Checked(const std::string& state) {
        return WaitFor([&] { return MenuField(Menu(), kDisable, "toggle-state") == state; }, 5s,
                       100ms);
    }
    // Exit from the menu; true once the program has ended by itself.
    bool Exit(Process& program) { return Click(kExit) && program.WaitExit(15s); }

    static std::string Err(Process& program) { return ReadFile(program.StderrPath()); }

    // How many pixels of the area `geometry` ("WxH+X+Y") differ between two
    // screenshots; -1 when they cannot be compared.
    long PixelsBetween(const std::string& before, const std::string& after,
                       const std::string& geometry) {
        const std::string area = "[" + geometry + "]";
        SpawnOptions tool;
        tool.argv = {"compare", "-metric", "AE", before + area, after + area, "null:"};
        tool.env = Environment::Clean().Entries();
        tool.stderrPath = Dir() + "/compare.out";  // compare says its count there
        RunToEnd(tool, 20s);
        try {
            return std::stol(ReadFile(tool.stderrPath));
        } catch (const std::exception&) {
            return -1;
        }
    }

    // Pure red pixels (the icon's) on the screen from row `top` down; the
    // first one's column goes to `column`. -1 when the shot failed.
    int RedFromRow(int top, int* column = nullptr) {
        const std::string png = Dir() + "/screen.png";
        if (!desk_->Desktop().X().Screenshot(png)) {
            return -1;
        }
        const int rows = 768 - top;
        SpawnOptions convert;
        const std::string crop = "1024x" + std::to_string(rows) + "+0+" + std::to_string(top);
        convert.argv = {"convert", png,      "-crop", crop,
                        "+repage", "-depth", "8",     "ppm:" + png + ".ppm"};
        convert.env = Environment::Clean().Entries();
        if (RunToEnd(convert, 15s) != 0) {
            return -1;
        }
        const std::vector<Rgb> strip = ReadPpm(png + ".ppm", 1024, rows);
        for (std::size_t i = 0; column != nullptr && i < strip.size(); ++i) {
            if (RedPixels({strip[i]}) == 1) {
                *column = static_cast<int>(i % 1024);
                break;
            }
        }
        return strip.empty() ? -1 : RedPixels(strip);
    }

    static inline std::unique_ptr<Session> desk_;
    static inline std::string missing_;
    static inline bool failed_ = false;
    std::unique_ptr<SniBus> bus_;
    std::deque<Process> programs_;
    int launches_ = 0;
};

// KDE Plasma on X11: ksmserver's locker holds org.freedesktop.ScreenSaver,
// kded5 the StatusNotifierWatcher.
struct Kde : KdeSession {
    void ForTheSuite() { SetIdleDelayToMinimum(); }
    static inline const std::vector<std::string> kPrograms = {"Xvfb", "kwin_x11", "kded5",
                                                              "ksmserver", "xdotool"};
};

class ProgramOnKdeTest : public ProgramOnDesktop<Kde> {
  protected:
    void TearDown() override {
        ProgramOnDesktop<Kde>::TearDown();
        // Only a new locker unlocks: the greeter wants a password.
        if (desk_ && desk_->SaverActive()) {
            desk_->RestartLocker();
        }
    }
};

TEST_F(ProgramOnKdeTest, StartLocksThroughKsmserverAndTheXTimeoutStaysZero) {
    // KDE keeps the X server's own saver off: its locker is the saver.
    ASSERT_EQ(Probe().SaverTimeout(), 0);
    Process& program = Launch();
    const std::string said = "wakewatch: screen saver through org.freedesktop.ScreenSaver\n";
    EXPECT_NE(Err(program).find(said), std::string::npos) << Err(program);
    EXPECT_EQ(MenuField(Menu(), kStart, "enabled"), "true");

    ASSERT_TRUE(Click(kStart));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, 15s, 200ms)) << Err(program);
    ASSERT_TRUE(Exit(program)) << program.Describe();
    // ksmserver answers SetActive once locked, with no value: no failure.
    EXPECT_EQ(Err(program).find("did not start"), std::string::npos) << Err(program);
    EXPECT_EQ(Probe().SaverTimeout(), 0);
}

TEST_F(ProgramOnKdeTest, TheHoldKeepsTheIdleLockOffPastItsDelayAndExitLetsItFire) {
    Process& program = Launch();
    Desk().Nudge();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(Checked("1"));
    // Unheld it locks at the delay (the greeter then takes a few seconds).
    const auto delay = Desk().MinimumIdleDelay();
    EXPECT_FALSE(WaitFor([&] { return Active(); }, delay + 8s, 1s))
        << "locked while held: " << Err(program);
    EXPECT_EQ(Probe().SaverTimeout(), 0);

    ASSERT_TRUE(Exit(program)) << program.Describe();
    // An idle time already past the delay does not lock when the hold goes:
    // the locker's idle timer fires when the idle time reaches it, so it
    // counts again from the next user activity.
    Desk().Nudge();
    EXPECT_TRUE(WaitFor([&] { return Active(); }, delay + 15s, 500ms))
        << "the hold outlived the program";
    EXPECT_EQ(Probe().SaverTimeout(), 0);
}

TEST_F(ProgramOnKdeTest, ReleasedTheIdleLockFiresAtItsDelay) {
    Process& program = Launch();
    Desk().Nudge();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(Checked("1"));
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(Checked("0"));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, Desk().MinimumIdleDelay() + 15s, 500ms))
        << Err(program);
    EXPECT_EQ(Probe().SaverTimeout(), 0);
}

// Plasma's own panel as the tray host: plasmashell's system tray beside
// kwin_x11 and kded5's watcher. It reads every property of the item again on
// each signal, so what the item sends is what the panel pays.
struct Plasma : KdeSession {
    void ForTheSuite() {}
    void Start() override {
        KdeSession::Start();
        StartPanel();
    }
    static inline const std::vector<std::string> kPrograms = {
        "Xvfb",      "kwin_x11",    "kded5",
        "ksmserver", "plasmashell", "kbuildsycoca5",
        "xdotool",   "convert",     "/usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd"};
};

class ProgramOnPlasmaTest : public ProgramOnDesktop<Plasma> {
  protected:
    std::size_t ToolTipsAnnounced() {
        return Trace(Desk().Desktop().X().TracePath("wakewatch")).All("sni NewToolTip").size();
    }
    void PointAt(int x, int y) {
        Desk().Desktop().X().Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    }
};

TEST_F(ProgramOnPlasmaTest, TheIconIsDrawnInThePanelsSystemTray) {
    ASSERT_LT(RedFromRow(KdeSession::kPanelTop), 10) << "red in the panel before the item";
    Process& program = Launch();
    int column = -1;
    EXPECT_TRUE(
        WaitFor([&] { return RedFromRow(KdeSession::kPanelTop, &column) >= 10; }, 20s, 200ms))
        << Err(program);
    EXPECT_TRUE(Desk().Desktop().X().Screenshot(Dir() + "/panel-with-item.png"));
    std::cout << "the icon is drawn from column " << column << "\n";
}

TEST_F(ProgramOnPlasmaTest, TheToolTipIsAnnouncedOnlyWhileThePointerIsOnThePanel) {
    // Mid-screen the pointer is over Plasma's desktop, where no tray shows.
    PointAt(500, 300);
    Process& program = Launch();
    const auto tip = [&] {
        for (const TraceLine& line : Bus().Call({"props"}).lines) {
            if (line.StartsWith("item ")) {
                return line.Field("tip");
            }
        }
        return std::string();
    };
    const std::string first = tip();
    // The tooltip ticks, as any host asking reads it, yet goes unannounced.
    EXPECT_TRUE(WaitFor([&] { return tip() != first; }, 5s, 250ms)) << first;
    const std::size_t before = ToolTipsAnnounced();
    EXPECT_FALSE(WaitFor([&] { return ToolTipsAnnounced() > before; }, 4s, 250ms))
        << "announced over the desktop";

    // On the panel every tick is announced again.
    PointAt(500, KdeSession::kPanelTop + 20);
    EXPECT_TRUE(WaitFor([&] { return ToolTipsAnnounced() >= before + 3; }, 6s, 250ms))
        << ToolTipsAnnounced() - before << " announced on the panel; " << Err(program);

    PointAt(500, 300);
    const std::size_t off = ToolTipsAnnounced();
    EXPECT_FALSE(WaitFor([&] { return ToolTipsAnnounced() > off + 1; }, 4s, 250ms))
        << "still announced after the pointer left the panel";
}

TEST_F(ProgramOnPlasmaTest, TheIconComesBackAfterThePanelRestartsAndWhenItStartsLater) {
    const auto drawn = [&] { return RedFromRow(KdeSession::kPanelTop) >= 10; };
    const auto gone = [&] { return RedFromRow(KdeSession::kPanelTop) == 0; };
    Process& program = Launch();
    ASSERT_TRUE(WaitFor(drawn, 20s, 200ms)) << Err(program);

    Desk().KillPanel();
    ASSERT_TRUE(WaitFor(gone, 10s, 200ms));
    Desk().StartPanel();
    EXPECT_TRUE(WaitFor(drawn, 30s, 200ms)) << "not drawn after the restart; " << Err(program);

    // The item is at the watcher before any panel shows it.
    Desk().KillPanel();
    ASSERT_TRUE(WaitFor(gone, 10s, 200ms));
    ASSERT_TRUE(program.Running()) << program.Describe();
    programs_.clear();
    Launch();
    Desk().StartPanel();
    EXPECT_TRUE(WaitFor(drawn, 30s, 200ms)) << "not drawn by the late panel";
}

TEST_F(ProgramOnPlasmaTest, HoveringTheIconShowsItsToolTipTicking) {
    PointAt(500, 300);
    Process& program = Launch();
    int column = -1;
    ASSERT_TRUE(
        WaitFor([&] { return RedFromRow(KdeSession::kPanelTop, &column) >= 10; }, 20s, 200ms))
        << Err(program);
    const std::string none = Dir() + "/no-tooltip.png";
    ASSERT_TRUE(Desk().Desktop().X().Screenshot(none));
    // Plasma's tooltip opens above the icon.
    const std::string above = "400x160+" + std::to_string(std::max(0, column - 200)) + "+" +
                              std::to_string(KdeSession::kPanelTop - 160);
    PointAt(column + 8, KdeSession::kPanelTop + 22);
    const std::string first = Dir() + "/tooltip-1.png";
    EXPECT_TRUE(WaitFor(
        [&] {
            return Desk().Desktop().X().Screenshot(first) &&
                   PixelsBetween(none, first, above) > 200;
        },
        10s, 250ms))
        << "no tooltip over the icon at column " << column;
    // Its text moves on with the uptime while it is shown.
    const std::string later = Dir() + "/tooltip-2.png";
    EXPECT_TRUE(WaitFor(
        [&] {
            return Desk().Desktop().X().Screenshot(later) && PixelsBetween(first, later, above) > 0;
        },
        5s, 250ms))
        << "the tooltip stood still";
    PointAt(500, 300);
}

// MATE: mate-screensaver, idle from mate-session's presence. No panel: our
// own watcher and host stand in for mate-panel's notification area, which
// is not what these tests are about.
struct Mate : MateSession {
    void ForTheSuite() { SetIdleDelayToMinimum(); }
    static inline const std::vector<std::string> kPrograms = {
        "Xvfb", "mate-session", "mate-screensaver", "mate-screensaver-command", "xdotool"};
};

class ProgramOnMateTest : public ProgramOnDesktop<Mate> {
  protected:
    void SetUp() override {
        ProgramOnDesktop<Mate>::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            Bus().StartHost();
        }
    }
    void TearDown() override {
        ProgramOnDesktop<Mate>::TearDown();
        if (desk_ && desk_->SaverActive()) {
            desk_->Deactivate();
        }
        bus_.reset();
    }
};

// MATE's own panel as the tray host: mate-panel's notification area, at the
// saver's shipped delay of five minutes, which no test here reaches.
struct MatePanel : MateSession {
    void ForTheSuite() {}
    void Start() override {
        MateSession::Start();
        StartPanel();
    }
    static inline const std::vector<std::string> kPrograms = {"Xvfb",
                                                              "mate-session",
                                                              "mate-screensaver",
                                                              "mate-panel",
                                                              "dbus-update-activation-environment",
                                                              "xdotool",
                                                              "convert"};
};

class ProgramOnMatePanelTest : public ProgramOnDesktop<MatePanel> {
  protected:
    bool Drawn() { return RedFromRow(0) >= 10; }
    bool Gone() { return RedFromRow(0) == 0; }
};

TEST_F(ProgramOnMatePanelTest, TheIconIsDrawnInTheNotificationAreaWithItsToolTipOnHover) {
    ASSERT_TRUE(Gone()) << "red on the screen before the item";
    Process& program = Launch();
    int column = -1;
    ASSERT_TRUE(WaitFor([&] { return RedFromRow(0, &column) >= 10; }, 20s, 200ms)) << Err(program);
    EXPECT_TRUE(Desk().Desktop().X().Screenshot(Dir() + "/panel-with-item.png"));

    // Hovering the icon, the panel shows a tooltip window of its own.
    const std::size_t before = Probe().OverrideRedirectWindows().size();
    Desk().Desktop().X().Xdotool({"mousemove", std::to_string(column + 4), "12"});
    EXPECT_TRUE(
        WaitFor([&] { return Probe().OverrideRedirectWindows().size() > before; }, 5s, 100ms))
        << "no tooltip over the icon at x " << column;
    EXPECT_TRUE(Desk().Desktop().X().Screenshot(Dir() + "/tooltip.png"));
    Desk().Nudge();
}

TEST_F(ProgramOnMatePanelTest, TheIconComesBackAfterThePanelRestartsAndWhenItStartsLater) {
    Process& program = Launch();
    ASSERT_TRUE(WaitFor([&] { return Drawn(); }, 20s, 200ms)) << Err(program);

    Desk().KillPanel();
    ASSERT_TRUE(WaitFor([&] { return Gone(); }, 10s, 200ms));
    Desk().StartPanel();
    EXPECT_TRUE(WaitFor([&] { return Drawn(); }, 30s, 200ms))
        << "not drawn after the restart; " << Err(program);

    // Started before any panel, the program waits for one.
    Desk().KillPanel();
    ASSERT_TRUE(WaitFor([&] { return Gone(); }, 10s, 200ms));
    ASSERT_TRUE(program.Running()) << program.Describe();
    programs_.clear();
    Process& late = Launch(false);
    ASSERT_TRUE(WaitFor([&] { return Err(late).find("screen saver through") != std::string::npos; },
                        20s, 100ms))
        << late.Describe() << ", " << Err(late);
    Desk().StartPanel();
    EXPECT_TRUE(WaitFor([&] { return Drawn(); }, 30s, 200ms)) << "not drawn by the late panel";
}

TEST_F(ProgramOnMateTest, StartBlanksThroughMateScreensaver) {
    Process& program = Launch();
    const std::string said =
        "wakewatch: screen saver through org.mate.ScreenSaver, held off through "
        "org.gnome.SessionManager\n";
    EXPECT_NE(Err(program).find(said), std::string::npos) << Err(program);
    EXPECT_EQ(MenuField(Menu(), kStart, "enabled"), "true");
    ASSERT_TRUE(Click(kStart));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, 15s, 200ms)) << Err(program);
    EXPECT_EQ(Err(program).find("did not start"), std::string::npos) << Err(program);
}

TEST_F(ProgramOnMateTest, TheHoldIsTheSessionsIdleInhibitorUntilReleased) {
    Process& program = Launch();
    ASSERT_EQ(Desk().Inhibitors(), 0);
    ASSERT_TRUE(Click(kDisable));
    EXPECT_TRUE(WaitFor([&] { return Desk().Inhibitors() == 1; }, 5s, 100ms)) << Err(program);
    ASSERT_TRUE(Click(kDisable));
    EXPECT_TRUE(WaitFor([&] { return Desk().Inhibitors() == 0; }, 5s, 100ms)) << Err(program);
}

TEST_F(ProgramOnMateTest, TheHoldKeepsItFromBlankingPastItsDelayAndExitLetsItBlank) {
    Process& program = Launch();
    Desk().Nudge();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(WaitFor([&] { return Desk().Inhibitors() == 1; }, 5s, 100ms)) << Err(program);
    // mate-screensaver blanks some ten seconds after the presence turned idle.
    const auto delay = Desk().MinimumIdleDelay() + 15s;
    EXPECT_FALSE(WaitFor([&] { return Active(); }, delay + 5s, 1s)) << "blanked while held";
    EXPECT_NE(Desk().PresenceStatus(), 3);

    ASSERT_TRUE(Exit(program)) << program.Describe();
    EXPECT_EQ(Desk().Inhibitors(), 0);
    // As on KDE, an idle time already past the delay does not turn the
    // presence idle when the inhibitor goes; it counts from the next activity.
    Desk().Nudge();
    EXPECT_TRUE(WaitFor([&] { return Active(); }, delay + 5s, 500ms))
        << "the hold outlived the program";
}

// XFCE: xfce4-panel's Status Tray hosts the item, xscreensaver is the saver,
// with its shortest timeout.
struct Xfce : XfceSession {
    void ForTheSuite() { SetIdleDelayToMinimum(); }
    static inline const std::vector<std::string> kPrograms = {
        "Xvfb",    "xfce4-panel", "xscreensaver", "xscreensaver-command",
        "xdotool", "import",      "compare",      "convert"};
};

class ProgramOnXfceTest : public ProgramOnDesktop<Xfce> {
  protected:
    void TearDown() override {
        ProgramOnDesktop<Xfce>::TearDown();
        if (desk_ && desk_->SaverActive()) {
            desk_->Deactivate();
        }
    }
    // How many pixels of the panel's strip differ between two screenshots.
    long PanelPixelsBetween(const std::string& before, const std::string& after) {
        return PixelsBetween(before, after,
                             "1024x" + std::to_string(768 - XfceSession::kPanelTop) + "+0+" +
                                 std::to_string(XfceSession::kPanelTop));
    }
    // Pure red pixels in the panel's strip now (the saver woken first: it
    // blanks after 5 s here); -1 when the shot failed.
    int RedInPanel(int* column = nullptr) {
        Desk().Deactivate();
        return RedFromRow(XfceSession::kPanelTop, column);
    }
    // Waits for the icon in the panel; how long it took, or nothing.
    std::optional<std::chrono::milliseconds> IconDrawn(std::chrono::milliseconds timeout) {
        const auto from = std::chrono::steady_clock::now();
        if (!WaitFor([&] { return RedInPanel() >= 10; }, timeout, 100ms)) {
            return std::nullopt;
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - from);
    }
};

TEST_F(ProgramOnXfceTest, TheIconIsDrawnInThePanelsStatusTray) {
    const std::string before = Dir() + "/panel-empty.png";
    const std::string after = Dir() + "/panel-with-item.png";
    // xscreensaver blanks after 5 s here: each shot is taken awake.
    const auto shoot = [&](const std::string& path) {
        Desk().Deactivate();
        return Desk().Desktop().X().Screenshot(path);
    };
    ASSERT_TRUE(shoot(before));
    Process& program = Launch();
    // A 24 px icon is some hundreds of pixels; the panel draws it a moment
    // after reading the item.
    EXPECT_TRUE(WaitFor([&] { return shoot(after) && PanelPixelsBetween(before, after) > 100; },
                        15s, 500ms))
        << PanelPixelsBetween(before, after) << " pixels changed; " << Err(program);
}

TEST_F(ProgramOnXfceTest, TheIconIsDrawnAgainAfterThePanelIsKilledAndStartedAgain) {
    ASSERT_EQ(RedInPanel(), 0) << "red in the panel without our item";
    Process& program = Launch();
    ASSERT_TRUE(IconDrawn(15s)) << Err(program);

    Desk().KillPanel();
    EXPECT_EQ(RedInPanel(), 0) << "the icon outlived the panel";
    const auto from = std::chrono::steady_clock::now();
    Desk().StartPanel();
    const bool drawn = IconDrawn(20s).has_value();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - from);
    EXPECT_TRUE(drawn) << "not drawn after the restart; " << Err(program);
    std::cout << "xfce4-panel restarted: icon drawn after " << took.count() << " ms\n";
    RecordProperty("icon_back_ms", static_cast<int>(took.count()));
    EXPECT_TRUE(program.Running()) << program.Describe();
}

TEST_F(ProgramOnXfceTest, TheIconIsDrawnWhenThePanelStartsAfterTheProgram) {
    Desk().KillPanel();
    Process& program = Launch(false);
    ASSERT_TRUE(WaitFor(
        [&] { return Err(program).find("screen saver through") != std::string::npos; }, 20s, 100ms))
        << program.Describe() << ", " << Err(program);
    const auto from = std::chrono::steady_clock::now();
    Desk().StartPanel();
    const bool drawn = IconDrawn(20s).has_value();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - from);
    EXPECT_TRUE(drawn) << "not drawn by the late panel; " << Err(program);
    std::cout << "xfce4-panel started late: icon drawn after " << took.count() << " ms\n";
    RecordProperty("icon_late_ms", static_cast<int>(took.count()));
    EXPECT_TRUE(program.Running()) << program.Describe();
}

// Pids of the running processes whose command line names `program`.
std::vector<pid_t> ProcessesNaming(const std::string& program) {
    std::vector<pid_t> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        if (ReadFile(entry.path() / "cmdline").find(program) != std::string::npos) {
            pids.push_back(std::stoi(name));
        }
    }
    return pids;
}

TEST_F(ProgramOnXfceTest, TheToolTipAndEveryMenuCommandThroughThePanelsWatcher) {
    Process& program = Launch();
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    // The first tick turns the start-up tip into the uptime.
    const std::regex uptime(std::string(host) + " up for .+");
    std::string tip;
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const TraceLine& line : Bus().Call({"props"}).lines) {
                if (line.StartsWith("item ")) {
                    tip = line.Field("tip");
                }
            }
            return std::regex_match(tip, uptime);
        },
        5s, 200ms))
        << tip;

    // Hovering the icon, the panel shows it as a tooltip of its own.
    int column = -1;
    ASSERT_TRUE(WaitFor([&] { return RedInPanel(&column) >= 10; }, 15s, 100ms));
    ASSERT_TRUE(Probe().OverrideRedirectWindows().empty());
    Desk().Desktop().X().Xdotool(
        {"mousemove", std::to_string(column + 4), std::to_string(XfceSession::kPanelTop + 16)});
    EXPECT_TRUE(WaitFor([&] { return !Probe().OverrideRedirectWindows().empty(); }, 5s, 100ms))
        << "no tooltip over the icon at x " << column;
    EXPECT_TRUE(Desk().Desktop().X().Screenshot(Dir() + "/tooltip.png"));
    Desk().Nudge();

    ASSERT_TRUE(Click(kRestore));
    EXPECT_TRUE(WaitFor(
        [&] {
            for (XWindow window : Probe().TopLevelsOf(program.Pid())) {
                if (Probe().Name(window) == "Wakewatch" && !Probe().OverrideRedirect(window)) {
                    return true;
                }
            }
            return false;
        },
        5s))
        << "no main window after Restore";

    const std::string corners = MenuField(Menu(), kHotCorners, "toggle-state");
    ASSERT_TRUE(Click(kHotCorners));
    EXPECT_TRUE(WaitFor([&] { return MenuField(Menu(), kHotCorners, "toggle-state") != corners; },
                        5s, 100ms));
    ASSERT_TRUE(Click(kHotCorners));
    EXPECT_TRUE(WaitFor([&] { return MenuField(Menu(), kHotCorners, "toggle-state") == corners; },
                        5s, 100ms));

    Desk().Nudge();
    ASSERT_TRUE(Click(kStart));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, 10s, 200ms)) << Err(program);
    Desk().Deactivate();

    ASSERT_TRUE(Click(kDisable));
    EXPECT_TRUE(Checked("1"));
    ASSERT_TRUE(Click(kDisable));
    EXPECT_TRUE(Checked("0"));

    // xscreensaver is the saver here: its own settings tool.
    EXPECT_EQ(MenuField(Menu(), kConfigure, "enabled"), "true");
    ASSERT_TRUE(Click(kConfigure));
    std::vector<pid_t> tools;
    EXPECT_TRUE(WaitFor([&] { return !(tools = ProcessesNaming("xscreensaver-settings")).empty(); },
                        10s, 100ms))
        << Err(program);
    for (pid_t tool : tools) {
        kill(tool, SIGTERM);
    }

    ASSERT_TRUE(Exit(program)) << program.Describe();
    EXPECT_EQ(program.ExitCode(), 0) << program.Describe();
}

TEST_F(ProgramOnXfceTest, StartBlanksXScreenSaver) {
    Process& program = Launch();
    const std::string said = "wakewatch: screen saver through xscreensaver\n";
    EXPECT_NE(Err(program).find(said), std::string::npos) << Err(program);
    ASSERT_TRUE(Click(kStart));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, 10s, 200ms)) << Err(program);
}

TEST_F(ProgramOnXfceTest, TheHoldKeepsItsShortestTimeoutFromFiringUntilReleased) {
    Process& program = Launch();
    const auto delay = Desk().MinimumIdleDelay();
    Desk().Nudge();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(Checked("1"));
    EXPECT_FALSE(WaitFor([&] { return Active(); }, 3 * delay, 250ms))
        << "blanked while held: " << Err(program);
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(Checked("0"));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, delay + 5s, 250ms)) << Err(program);
}

TEST_F(ProgramOnXfceTest, ExitReleasesTheHold) {
    Process& program = Launch();
    Desk().Nudge();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(Checked("1"));
    ASSERT_TRUE(Exit(program)) << program.Describe();
    EXPECT_TRUE(WaitFor([&] { return Active(); }, Desk().MinimumIdleDelay() + 5s, 250ms));
}

// Cinnamon: cinnamon-screensaver, idle from cinnamon-session's presence; our
// own watcher and host stand in for the shell's tray, as on MATE. Its
// shortest idle delay (1 s) would blank between any two steps of a test, so
// the suite runs at 10 s.
struct Cinnamon : CinnamonSaverSession {
    void ForTheSuite() { SetIdleDelay(10); }
    static constexpr auto kDelay = 10s;
    static inline const std::vector<std::string> kPrograms = {
        "Xvfb", "cinnamon-session", "cinnamon-screensaver", "cinnamon-screensaver-command",
        "xdotool"};
};

class ProgramOnCinnamonTest : public ProgramOnDesktop<Cinnamon> {
  protected:
    void SetUp() override {
        ProgramOnDesktop<Cinnamon>::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            Bus().StartHost();
        }
    }
    void TearDown() override {
        ProgramOnDesktop<Cinnamon>::TearDown();
        if (desk_ && desk_->SaverActive()) {
            desk_->Deactivate();
        }
        bus_.reset();
    }
};

TEST_F(ProgramOnCinnamonTest, StartBlanksThroughCinnamonScreensaver) {
    Process& program = Launch();
    const std::string said =
        "wakewatch: screen saver through org.cinnamon.ScreenSaver, held off through "
        "org.gnome.SessionManager\n";
    EXPECT_NE(Err(program).find(said), std::string::npos) << Err(program);
    Desk().Nudge();
    ASSERT_TRUE(Click(kStart));
    EXPECT_TRUE(WaitFor([&] { return Active(); }, Cinnamon::kDelay / 2, 100ms)) << Err(program);
    EXPECT_EQ(Err(program).find("did not start"), std::string::npos) << Err(program);
}

TEST_F(ProgramOnCinnamonTest, TheHoldKeepsItFromBlankingPastItsDelayUntilReleased) {
    Process& program = Launch();
    Desk().Nudge();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(WaitFor([&] { return Desk().Inhibitors() == 1; }, 5s, 100ms)) << Err(program);
    EXPECT_FALSE(WaitFor([&] { return Active(); }, Cinnamon::kDelay + 5s, 250ms))
        << "blanked while held";
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(WaitFor([&] { return Desk().Inhibitors() == 0; }, 5s, 100ms)) << Err(program);
    // It counts again from the next activity, as on MATE.
    Desk().Nudge();
    EXPECT_TRUE(WaitFor([&] { return Active(); }, Cinnamon::kDelay + 5s, 250ms));
}

TEST_F(ProgramOnCinnamonTest, ExitGivesTheInhibitorBack) {
    Process& program = Launch();
    ASSERT_TRUE(Click(kDisable));
    ASSERT_TRUE(WaitFor([&] { return Desk().Inhibitors() == 1; }, 5s, 100ms)) << Err(program);
    ASSERT_TRUE(Exit(program)) << program.Describe();
    EXPECT_EQ(Desk().Inhibitors(), 0);
}

}  // namespace
}  // namespace ww::e2e
