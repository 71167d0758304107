#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

// At 96 dots per inch the window's client area of 5310 × 5145 twips.
constexpr int kWindowWidth = 354;
constexpr int kWindowHeight = 343;

class MenuAndWindowTest : public WakewatchTest {
  protected:
    XWindow Start(const std::vector<std::string>& args = {}) {
        program_ = &Launch("wakewatch", args);
        return WaitDocked(program_->Pid());
    }

    XWindow WaitMainWindow() {
        XWindow window = 0;
        WaitFor([&] { return (window = MainWindowOf(program_->Pid())) != 0; }, 5s);
        return window;
    }

    // The program's own popup: an override-redirect window that is not the tooltip.
    XWindow WaitMenu() {
        XWindow menu = 0;
        WaitFor(
            [&] {
                for (XWindow w : Probe().OverrideRedirectWindows()) {
                    const auto place = Probe().RootGeometry(w);
                    if (Probe().Pid(w) == program_->Pid() && place && place->height > 100) {
                        menu = w;
                        return true;
                    }
                }
                return false;
            },
            5s);
        return menu;
    }

    Process* program_ = nullptr;
};

TEST_F(MenuAndWindowTest, RightClickMenuSwitchesHotCornersOnAndStoresIt) {
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_TRUE(ClickCentre(icon, 3));
    const XWindow menu = WaitMenu();
    ASSERT_NE(menu, 0u) << "no menu after a right click";
    Snapshot("menu");

    // "Enable &Hot Corners" by its access key.
    ASSERT_TRUE(Keys(menu, {"h"}));
    EXPECT_TRUE(WaitFor(
        [&] {
            return ReadFile(MachineStore()).find("\"HotCorners\"=dword:00000001") !=
                   std::string::npos;
        },
        5s))
        << ReadFile(MachineStore());
    ASSERT_TRUE(MoveCursor(1023, 767));
    EXPECT_TRUE(WaitFor([&] { return Probe().SaverTimeout() == 0; }, 5s))
        << "the corner does not hold the saver off after switching hot corners on";
}

TEST_F(MenuAndWindowTest, DoubleClickOpensTheWindowAndApplyWritesTheAutostartEntry) {
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_TRUE(ClickCentre(icon, 1, 2));
    const XWindow window = WaitMainWindow();
    ASSERT_NE(window, 0u) << "no main window after a double click";
    const auto place = Probe().RootGeometry(window);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->width, kWindowWidth);
    EXPECT_EQ(place->height, kWindowHeight);
    Snapshot("status");

    // The Settings page, "Auto Load Wakewatch for &Current User", "&Apply".
    ASSERT_TRUE(Keys(window, {"ctrl+Tab", "alt+c", "alt+a"}));
    Snapshot("settings");
    EXPECT_TRUE(WaitFor([&] { return !ReadFile(UserAutostartEntry()).empty(); }, 5s));
    const std::string entry = ReadFile(UserAutostartEntry());
    EXPECT_NE(entry.find("[Desktop Entry]"), std::string::npos) << entry;
    // The program's own path, unquoted as it needs no quotes, and nothing after it.
    EXPECT_NE(entry.find("\nExec=" + ProgramPath() + "\n"), std::string::npos) << entry;
    // Apply keeps the window open.
    EXPECT_NE(MainWindowOf(program_->Pid()), 0u);
}

// Whether some process holds an flock on path (a folder or a file).
bool Locked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

TEST_F(MenuAndWindowTest, AnotherUsersLockHoldsUpNeitherTheMenuNorApplyNorTheEnd) {
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();

    // Another user (this one, when not root) locks the shared settings and
    // autostart folders for good, as anyone who may read them can.
    const std::string shared = X().Dir().Path() + "/config-dirs";
    std::vector<std::string> holder;
    if (::geteuid() == 0) {
        holder = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        ::chmod(X().Dir().Path().c_str(), 0755);
        ::chmod(shared.c_str(), 0755);
    }
    for (const char* folder : {"/wakewatch", "/autostart"}) {
        ASSERT_EQ(::mkdir((shared + folder).c_str(), 0755), 0);
        holder.insert(holder.end(), {"flock", shared + folder});
    }
    holder.insert(holder.end(), {"sleep", "1000"});
    Process neighbour(SpawnOptions{holder, Environment::Clean().Entries(), "", ""});
    ASSERT_TRUE(
        WaitFor([&] { return Locked(shared + "/wakewatch") && Locked(shared + "/autostart"); }, 5s))
        << neighbour.Describe();

    // "Enable &Hot Corners" from the menu.
    ASSERT_TRUE(ClickCentre(icon, 3));
    const XWindow menu = WaitMenu();
    ASSERT_NE(menu, 0u) << "no menu after a right click";
    ASSERT_TRUE(Keys(menu, {"h"}));
    const auto stored = [&](const char* value) {
        return ReadFile(MachineStore()).find(std::string("\"HotCorners\"=dword:") + value) !=
               std::string::npos;
    };
    EXPECT_TRUE(WaitFor([&] { return stored("00000001"); }, 3s)) << ReadFile(MachineStore());

    // The Settings page, "&Enable Hot Corners" off, "&Apply".
    ASSERT_TRUE(ClickCentre(icon, 1, 2));
    const XWindow window = WaitMainWindow();
    ASSERT_NE(window, 0u) << "no main window after a double click";
    ASSERT_TRUE(Keys(window, {"ctrl+Tab", "alt+e", "alt+a"}));
    EXPECT_TRUE(WaitFor([&] { return stored("00000000"); }, 3s)) << ReadFile(MachineStore());

    program_->Signal(SIGTERM);
    EXPECT_TRUE(program_->WaitExit(5s)) << "SIGTERM did not end the program";
    EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
    EXPECT_TRUE(neighbour.Running()) << "the lock was given up: " << neighbour.Describe();
}

TEST_F(MenuAndWindowTest, PopupOptionOpensTheWindowAndUnloadEndsTheProgram) {
    const XWindow icon = Start({"-popup"});
    ASSERT_NE(icon, 0u) << program_->Describe();
    const XWindow window = WaitMainWindow();
    ASSERT_NE(window, 0u) << "-popup did not open the window";

    ASSERT_TRUE(Keys(window, {"alt+u"}));  // "&Unload"
    ASSERT_TRUE(program_->WaitExit(5s)) << "still running after Unload";
    EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
    EXPECT_TRUE(DockedOf(program_->Pid()).empty());
    EXPECT_TRUE(TraceOf("wakewatch").Has("notify delete"));
}

// Keeps bytes flowing over loopback until stopped.
class LoopbackTraffic {
  public:
    LoopbackTraffic() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        if (::bind(listener_, raw, length) != 0 || ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, raw, &length) != 0) {
            throw std::runtime_error("no loopback listener");
        }
        sender_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(sender_, raw, length) != 0) {
            throw std::runtime_error("no loopback connection");
        }
        receiver_ = ::accept(listener_, nullptr, nullptr);
        thread_ = std::thread([this] {
            char buffer[4096] = {};
            while (!stop_) {
                if (::send(sender_, buffer, sizeof buffer, MSG_NOSIGNAL) <= 0 ||
                    ::recv(receiver_, buffer, sizeof buffer, 0) <= 0) {
                    break;
                }
                std::this_thread::sleep_for(20ms);
            }
        });
    }
    ~LoopbackTraffic() {
        stop_ = true;
        thread_.join();
        ::close(receiver_);
        ::close(sender_);
        ::close(listener_);
    }
    LoopbackTraffic(const LoopbackTraffic&) = delete;
    LoopbackTraffic& operator=(const LoopbackTraffic&) = delete;

  private:
    int listener_ = -1;
    int sender_ = -1;
    int receiver_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(MenuAndWindowTest, TheIconShowsNetworkTrafficWhileItFlows) {
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    const auto place = Probe().RootGeometry(icon);
    ASSERT_TRUE(place);
    // Whatever the machine sends on its own, a quiet moment comes within a while.
    std::vector<std::uint32_t> quiet;
    const auto stable = [&] {
        const auto first = Probe().Pixels(*place);
        std::this_thread::sleep_for(900ms);  // longer than two ticks
        quiet = Probe().Pixels(*place);
        return !quiet.empty() && quiet == first;
    };
    ASSERT_TRUE(WaitFor(stable, 10s));

    {
        LoopbackTraffic traffic;
        EXPECT_TRUE(WaitFor([&] { return Probe().Pixels(*place) != quiet; }, 5s))
            << "the icon does not show loopback traffic";
        Snapshot("traffic");
    }
    EXPECT_TRUE(WaitFor([&] { return Probe().Pixels(*place) == quiet; }, 5s))
        << "the icon keeps showing traffic after it stopped";
}

}  // namespace
}  // namespace ww::e2e
