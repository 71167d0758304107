#include "platform/linux/saver/SessionScreenSaver.h"

#include "platform/linux/saver/BusScreenSaver.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/x11/X11ScreenSaver.h"
#include "tests/e2e/Environment.h"
#include "tests/e2e/Process.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/XSession.h"

// Xlib last: its macros (None, Status, Bool) break the headers above.
#include <X11/Xlib.h>

namespace ww::platform {
namespace {

using namespace std::chrono_literals;

// A stand-in org.freedesktop.ScreenSaver on its own thread, so that even a
// blocking call from the test's thread gets its answer. Records every call;
// Inhibit answers cookies 101, 102, ... at once or when told to.
class FakeService : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::lock_guard lock(mutex_);
        std::string call = message.member().toStdString() + "(";
        for (const QVariant& argument : message.arguments()) {
            call += (call.back() == '(' ? "" : ", ") + argument.toString().toStdString();
        }
        calls_.push_back(call + ")");
        QDBusMessage reply = message.createReply();
        if (message.member() == QLatin1String("Inhibit")) {
            reply << ++lastCookie_;
        } else if (message.member() == QLatin1String("SetActive")) {
            if (refuseSetActive_) {
                reply = message.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                    QStringLiteral("This method is not implemented"));
            } else {
                reply << true;
            }
        }
        if (holdReplies_) {
            held_.push_back(reply);
        } else {
            connection.send(reply);
        }
        return true;
    }

    uint LastCookie() {
        std::lock_guard lock(mutex_);
        return lastCookie_;
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // SetActive answered as gsd-screensaver-proxy does.
    void RefuseSetActive(bool refuse) {
        std::lock_guard lock(mutex_);
        refuseSetActive_ = refuse;
    }
    void HoldReplies() {
        std::lock_guard lock(mutex_);
        holdReplies_ = true;
    }
    void SendHeldReplies(QDBusConnection& connection) {
        std::lock_guard lock(mutex_);
        for (const QDBusMessage& reply : held_) {
            connection.send(reply);
        }
        held_.clear();
        holdReplies_ = false;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<QDBusMessage> held_;
    bool holdReplies_ = false;
    bool refuseSetActive_ = false;
    uint lastCookie_ = 100;
};

const QString kName = QStringLiteral("org.freedesktop.ScreenSaver");
const std::string kInhibit = "Inhibit(Wakewatch, The screen saver is switched off from Wakewatch)";

// The first line a child writes to `fd`, waiting up to ten seconds.
std::string ReadLine(int fd) {
    std::string line;
    pollfd p{fd, POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        line.append(buffer, static_cast<std::size_t>(n));
    }
    return line.substr(0, line.find('\n'));
}

// A private session bus for the whole suite, with the fake service on a
// connection of its own.
class SessionScreenSaverTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        e2e::SpawnOptions options;
        options.argv = {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"};
        options.env = e2e::Environment::Clean().Entries();
        options.fd3 = fds[1];
        try {
            daemon_ = std::make_unique<e2e::Process>(options);
        } catch (const std::exception&) {
            close(fds[0]);
            close(fds[1]);
            return;
        }
        close(fds[1]);
        const std::string address = ReadLine(fds[0]);
        close(fds[0]);
        if (address.empty()) {
            return;
        }
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "session_screen_saver_test";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QCoreApplication>(argc, argv);
        }
        serviceThread_ = std::make_unique<QThread>();
        serviceThread_->start();
        fake_ = std::make_unique<FakeService>();
        fake_->moveToThread(serviceThread_.get());
        service_.emplace(
            QDBusConnection::connectToBus(QString::fromStdString(address), QStringLiteral("fake")));
        service_->registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"),
                                        fake_.get());
    }

    static void TearDownTestSuite() {
        if (service_) {
            service_->unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
            service_.reset();
            QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
        }
        if (serviceThread_) {
            serviceThread_->quit();
            serviceThread_->wait();
        }
        fake_.reset();
        serviceThread_.reset();
        app_.reset();
        daemon_.reset();
    }

    void SetUp() override {
        if (!service_) {
            GTEST_SKIP() << "no dbus-daemon to run a private session bus";
        }
        ASSERT_TRUE(service_->registerService(kName));
        calls_ = fake_->Calls().size();
    }
    void TearDown() override {
        if (service_) {
            service_->unregisterService(kName);
        }
    }

    // The calls the fake got since the test began.
    std::vector<std::string> NewCalls() {
        const auto all = fake_->Calls();
        return {all.begin() + static_cast<std::ptrdiff_t>(calls_), all.end()};
    }
    template <typename Predicate>
    static bool Eventually(Predicate predicate) {
        return e2e::WaitFor(
            [&] {
                QCoreApplication::processEvents();
                return predicate();
            },
            5s);
    }
    // A blocking call on the bus connection the saver uses: answers come in
    // order, so every earlier answer has arrived when this one has.
    static void RoundTrip() {
        QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(kName, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           kName, QStringLiteral("GetActive")),
            QDBus::Block, 2000);
        QCoreApplication::processEvents();
    }
    bool CallsAre(const std::vector<std::string>& expected) {
        Eventually([&] { return NewCalls().size() >= expected.size(); });
        return NewCalls() == expected;
    }

    static std::unique_ptr<e2e::Process> daemon_;
    static std::unique_ptr<QCoreApplication> app_;
    static std::unique_ptr<QThread> serviceThread_;
    static std::unique_ptr<FakeService> fake_;
    static std::optional<QDBusConnection> service_;
    std::size_t calls_ = 0;
};

std::unique_ptr<e2e::Process> SessionScreenSaverTest::daemon_;
std::unique_ptr<QCoreApplication> SessionScreenSaverTest::app_;
std::unique_ptr<QThread> SessionScreenSaverTest::serviceThread_;
std::unique_ptr<FakeService> SessionScreenSaverTest::fake_;
std::optional<QDBusConnection> SessionScreenSaverTest::service_;

TEST_F(SessionScreenSaverTest, HoldsOnceAndReleasesWithItsCookie) {
    SessionScreenSaver saver;
    EXPECT_TRUE(saver.Available());
    saver.Hold();
    saver.Hold();
    EXPECT_TRUE(saver.Held());
    ASSERT_TRUE(CallsAre({kInhibit}));
    RoundTrip();  // the answer is in: the cookie is kept

    saver.Release();
    EXPECT_FALSE(saver.Held());
    EXPECT_TRUE(CallsAre(
        {kInhibit, "GetActive()", "UnInhibit(" + std::to_string(fake_->LastCookie()) + ")"}));
}

TEST_F(SessionScreenSaverTest, ReleasedBeforeTheAnswerStillGivesTheCookieBack) {
    SessionScreenSaver saver;
    fake_->HoldReplies();
    saver.Hold();
    ASSERT_TRUE(Eventually([&] { return NewCalls().size() == 1; }));
    saver.Release();
    fake_->SendHeldReplies(*service_);
    ASSERT_TRUE(Eventually([&] { return NewCalls().size() == 2; }));
    EXPECT_EQ(NewCalls()[1].rfind("UnInhibit(", 0), 0U);
}

TEST_F(SessionScreenSaverTest, AServiceThatComesLaterTakesTheHold) {
    service_->unregisterService(kName);
    SessionScreenSaver saver;
    EXPECT_FALSE(saver.Available());
    saver.Hold();
    saver.Activate();
    ASSERT_TRUE(service_->registerService(kName));
    ASSERT_TRUE(Eventually([&] { return saver.Available(); }));
    EXPECT_TRUE(CallsAre({kInhibit}));

    // It leaves and comes back: the old hold died with it, a new one is taken.
    service_->unregisterService(kName);
    ASSERT_TRUE(Eventually([&] { return !saver.Available(); }));
    ASSERT_TRUE(service_->registerService(kName));
    EXPECT_TRUE(CallsAre({kInhibit, kInhibit}));
}

// The bus calls one connection made, each as "Member(first string argument)",
// read from dbus-monitor's output.
std::vector<std::string> BusCallsOf(const std::string& monitored, const std::string& sender) {
    std::vector<std::string> calls;
    std::size_t at = 0;
    while ((at = monitored.find("method call ", at)) != std::string::npos) {
        const std::size_t end = monitored.find("\nmethod call ", at + 1);
        const std::string message = monitored.substr(at, end - at);
        at = end;
        const std::size_t member = message.find("member=");
        if (message.find("sender=" + sender + " ") == std::string::npos ||
            member == std::string::npos) {
            continue;
        }
        const std::size_t name = member + 7;
        std::string call = message.substr(name, message.find('\n', name) - name) + "(";
        const std::size_t quote = message.find("string \"", name);
        if (quote != std::string::npos) {
            call += message.substr(quote + 8, message.find('"', quote + 8) - quote - 8);
        }
        calls.push_back(call + ")");
    }
    return calls;
}

// The name's watch is in place before the bus is asked whether the service
// is there, so one that comes in between is not missed.
TEST_F(SessionScreenSaverTest, TheServiceIsWatchedBeforeItIsLookedFor) {
    const std::string out = ::testing::TempDir() + "session-saver-monitor.txt";
    e2e::SpawnOptions options;
    options.argv = {"dbus-monitor", "--address", std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                    "type='method_call',interface='org.freedesktop.DBus'"};
    options.env = e2e::Environment::Clean().Entries();
    options.stdoutPath = out;
    e2e::Process monitor(options);
    QDBusConnection bus = QDBusConnection::sessionBus();
    const std::string self = bus.baseService().toStdString();
    auto seen = [&](const std::string& call) {
        const auto calls = BusCallsOf(e2e::ReadFile(out), self);
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    // The monitor is listening once it sees a call of ours.
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            bus.interface()->isServiceRegistered(QStringLiteral("org.example.Probe"));
            return seen("NameHasOwner(org.example.Probe)");
        },
        5s));

    SessionScreenSaver saver;
    EXPECT_TRUE(saver.Available());
    ASSERT_TRUE(
        e2e::WaitFor([&] { return seen("NameHasOwner(org.freedesktop.ScreenSaver)"); }, 5s));
    const auto calls = BusCallsOf(e2e::ReadFile(out), self);
    const auto look = std::find(calls.begin(), calls.end(),
                                std::string("NameHasOwner(org.freedesktop.ScreenSaver)"));
    const auto watch = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
        return call.rfind("AddMatch(", 0) == 0 &&
               call.find("arg0='org.freedesktop.ScreenSaver'") != std::string::npos;
    });
    EXPECT_LT(watch - calls.begin(), look - calls.begin()) << ::testing::PrintToString(calls);
    monitor.Stop();
}

TEST_F(SessionScreenSaverTest, ActivateAndReleaseNowReachTheService) {
    SessionScreenSaver saver;
    saver.Activate();
    saver.Hold();

    // No event loop on the way out: the calls themselves wait for the service.
    saver.ReleaseNow();
    EXPECT_FALSE(saver.Held());
    EXPECT_EQ(NewCalls(),
              (std::vector<std::string>{"SetActive(true)", kInhibit,
                                        "UnInhibit(" + std::to_string(fake_->LastCookie()) + ")"}));
}

TEST_F(SessionScreenSaverTest, ActivateTellsWhatFailedOnTheAnswer) {
    SessionScreenSaver saver;
    std::vector<std::string> failures;
    const auto told = [&](const std::string& what) { failures.push_back(what); };
    saver.Activate(told);
    RoundTrip();
    EXPECT_TRUE(failures.empty());

    fake_->RefuseSetActive(true);
    saver.Activate(told);
    EXPECT_TRUE(Eventually([&] { return !failures.empty(); }));
    fake_->RefuseSetActive(false);
    service_->unregisterService(kName);
    ASSERT_TRUE(Eventually([&] { return !saver.Available(); }));
    saver.Activate(told);
    EXPECT_EQ(failures, (std::vector<std::string>{
                            "org.freedesktop.ScreenSaver.SetActive failed: "
                            "org.freedesktop.DBus.Error.NotSupported: This method is not "
                            "implemented",
                            "org.freedesktop.ScreenSaver is not on the session bus"}));
}

// The saver of a session with no X server: the flag is the service's
// presence and our hold, and without the service the flag cannot be set.
int Flag(BusScreenSaver& saver) {
    std::int32_t flag = -1;
    EXPECT_TRUE(saver.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &flag, 0));
    return flag;
}

bool Set(BusScreenSaver& saver, std::uint32_t flag) {
    return saver.SystemParametersInfoA(spi::kSetScreenSaveActive, flag, nullptr, 0);
}

TEST_F(SessionScreenSaverTest, BusSaverFlagIsThePresenceOfTheServiceAndOurHold) {
    SessionScreenSaver session;
    BusScreenSaver saver(session);
    EXPECT_EQ(Flag(saver), 1);
    EXPECT_TRUE(Set(saver, 0));
    EXPECT_EQ(Flag(saver), 0);
    RoundTrip();  // the cookie is in
    EXPECT_TRUE(Set(saver, 1));
    EXPECT_EQ(Flag(saver), 1);
    saver.StartScreenSaver();
    EXPECT_TRUE(
        CallsAre({kInhibit, "GetActive()", "UnInhibit(" + std::to_string(fake_->LastCookie()) + ")",
                  "SetActive(true)"}))
        << ::testing::PrintToString(NewCalls());
    EXPECT_FALSE(saver.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, nullptr, 0));
    EXPECT_FALSE(saver.SystemParametersInfoA(99, 0, nullptr, 0));
}

TEST_F(SessionScreenSaverTest, BusSaverWithoutTheServiceReadsOffAndRefusesChanges) {
    service_->unregisterService(kName);
    SessionScreenSaver session;
    BusScreenSaver saver(session);
    EXPECT_EQ(Flag(saver), 0);
    EXPECT_FALSE(Set(saver, 0));
    EXPECT_FALSE(Set(saver, 1));
    saver.StartScreenSaver();
    saver.RestoreOnExit();
    // A refused hold is not taken later when the service comes.
    ASSERT_TRUE(service_->registerService(kName));
    ASSERT_TRUE(Eventually([&] { return session.Available(); }));
    RoundTrip();
    EXPECT_EQ(NewCalls(), std::vector<std::string>{"GetActive()"});
    EXPECT_EQ(Flag(saver), 1);
}

TEST_F(SessionScreenSaverTest, BusSaverReleasesItsHoldOnTheWayOut) {
    SessionScreenSaver session;
    BusScreenSaver saver(session);
    ASSERT_TRUE(Set(saver, 0));
    saver.RestoreOnExit();
    saver.RestoreOnExit();
    EXPECT_EQ(NewCalls(), (std::vector<std::string>{
                              kInhibit, "UnInhibit(" + std::to_string(fake_->LastCookie()) + ")"}));
    EXPECT_EQ(Flag(saver), 1);
}

// With the service on the bus, the user's X timeout still says whether a
// saver may start (the menu greys "Start Screen Saver" by it).
TEST_F(SessionScreenSaverTest, TheSaverIsActiveByTheXTimeoutUnlessHeld) {
    e2e::XSession x;
    Display* program = XOpenDisplay(x.Display().c_str());
    Display* user = XOpenDisplay(x.Display().c_str());
    ASSERT_NE(program, nullptr);
    ASSERT_NE(user, nullptr);
    auto userTimeout = [&](int timeout) {
        XSetScreenSaver(user, timeout, 600, PreferBlanking, AllowExposures);
        XSync(user, False);
    };
    userTimeout(0);
    {
        SessionScreenSaver session;
        ASSERT_TRUE(session.Available());
        X11ScreenSaver saver(program, &session);
        auto active = [&] {
            std::int32_t flag = 7;
            EXPECT_TRUE(saver.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &flag, 0));
            return flag;
        };
        auto setActive = [&](std::uint32_t on) {
            EXPECT_TRUE(saver.SystemParametersInfoA(spi::kSetScreenSaveActive, on, nullptr, 3));
            XSync(program, False);
        };
        EXPECT_EQ(active(), 0) << "blanking switched off by the user";
        userTimeout(300);
        EXPECT_EQ(active(), 1);
        setActive(0);
        EXPECT_EQ(active(), 0);
        userTimeout(450);  // the user's tool puts a timeout back meanwhile
        EXPECT_EQ(active(), 0) << "still held by this program";
        setActive(1);
        EXPECT_EQ(active(), 1);
        session.ReleaseNow();
    }
    XCloseDisplay(program);
    XCloseDisplay(user);
}

}  // namespace
}  // namespace ww::platform
