#include <csignal>
#include <optional>

#include "tests/e2e/WakewatchTest.h"

// Xlib last: its macros (None, Status, Bool) break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace ww::e2e {
namespace {

constexpr int kBottomRightX = 1023;
constexpr int kBottomY = 767;
constexpr int kServerSaverTimeout = 600;  // Xvfb's default, in seconds
constexpr const char* kRecord = "_WAKEWATCH_SAVER_OFF";

constexpr const char* kHotCornersOn =
    "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n\"HotCorners\"=dword:00000001\n";

// The record on the root window: the timeout to put back and its owner.
struct Record {
    long timeout = 0;
    unsigned long owner = 0;
};

// A connection of the test's own, for what a user or a window manager does
// to the program: kill its X clients, set the saver, leave records behind.
class Desk {
  public:
    explicit Desk(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~Desk() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    bool Open() const { return display_ != nullptr; }
    Window Root() const { return XDefaultRootWindow(display_); }
    Atom RecordAtom() const { return XInternAtom(display_, kRecord, False); }

    std::optional<Record> ReadRecord() const {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::optional<Record> record;
        if (XGetWindowProperty(display_, Root(), RecordAtom(), 0, 2, False, XA_CARDINAL, &type,
                               &format, &items, &after, &data) == Success &&
            data != nullptr && format == 32 && items == 2) {
            const auto* values = reinterpret_cast<const long*>(data);
            record = Record{values[0], static_cast<unsigned long>(values[1])};
        }
        if (data != nullptr) {
            XFree(data);
        }
        return record;
    }
    void WriteCardinals(Window window, const std::vector<long>& values) {
        XChangeProperty(display_, window, RecordAtom(), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values.data()),
                        static_cast<int>(values.size()));
        XSync(display_, False);
    }
    // What `xkill -id` does: the server closes the connection that made the window.
    void KillClientOf(unsigned long window) {
        XKillClient(display_, window);
        XSync(display_, False);
    }
    void SetSaverTimeout(int timeout) {
        XSetScreenSaver(display_, timeout, 600, PreferBlanking, AllowExposures);
        XSync(display_, False);
    }
    void EraseRecord() {
        XDeleteProperty(display_, Root(), RecordAtom());
        XSync(display_, False);
    }
    Window MakeWindow() {
        const Window window =
            XCreateSimpleWindow(display_, Root(), 0, 0, 1, 1, 0, 0, 0);  // never mapped
        XSync(display_, False);
        return window;
    }

  private:
    Display* display_;
};

class SaverOnEveryExit : public WakewatchTest {
  protected:
    bool SaverTimeoutBecomes(int seconds, std::chrono::milliseconds within) {
        return WaitFor([&] { return Probe().SaverTimeout() == seconds; }, within);
    }
};

enum class Ending { KillTheIconsClient, KillTheSaversClient, Abort, Quit, Crash };

struct EndingCase {
    Ending ending;
    const char* name;
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

class AbnormalEnd : public SaverOnEveryExit, public ::testing::WithParamInterface<EndingCase> {};

// The cursor stays in the corner: only the way out can have put the saver back.
TEST_P(AbnormalEnd, PutsTheTimeoutBackWithinTwoSecondsAndClearsTheRecord) {
    Desk desk(X().Display());
    ASSERT_TRUE(desk.Open());
    WriteStore(MachineStore(), kHotCornersOn);
    Process& program = Launch("wakewatch");
    const XWindow icon = WaitDocked(program.Pid());
    ASSERT_NE(icon, 0u) << program.Describe();
    ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
    ASSERT_TRUE(SaverTimeoutBecomes(0, 5s)) << "the corner did not hold the saver off";
    const std::optional<Record> record = desk.ReadRecord();
    ASSERT_TRUE(record.has_value()) << "no record on the root window while held";
    EXPECT_EQ(record->timeout, kServerSaverTimeout);
    ASSERT_NE(record->owner, 0u);

    switch (GetParam().ending) {
        case Ending::KillTheIconsClient:  // Qt's connection: Qt calls exit(1)
            desk.KillClientOf(icon);
            break;
        case Ending::KillTheSaversClient:  // the program's own Xlib connection
            desk.KillClientOf(record->owner);
            break;
        case Ending::Abort:
            program.Signal(SIGABRT);
            break;
        case Ending::Quit:
            program.Signal(SIGQUIT);
            break;
        case Ending::Crash:  // as a fault would raise it; under ASan, its report ends the program
            program.Signal(SIGSEGV);
            break;
    }
    EXPECT_TRUE(SaverTimeoutBecomes(kServerSaverTimeout, 2s))
        << "timeout " << Probe().SaverTimeout() << "; the program is " << program.Describe();
    EXPECT_TRUE(WaitFor([&] { return !desk.ReadRecord().has_value(); }, 2s))
        << "the record outlived the program";
    EXPECT_TRUE(program.WaitExit(5s)) << program.Describe();
}

INSTANTIATE_TEST_SUITE_P(Endings, AbnormalEnd,
                         ::testing::Values(EndingCase{Ending::KillTheIconsClient, "XkillIcon"},
                                           EndingCase{Ending::KillTheSaversClient, "XkillOwner"},
                                           EndingCase{Ending::Abort, "SIGABRT"},
                                           EndingCase{Ending::Quit, "SIGQUIT"},
                                           EndingCase{Ending::Crash, "SIGSEGV"}),
                         [](const auto& test) { return std::string(test.param.name); });

struct RefusedCase {
    int signal;
    const char* name;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedInstanceClosed : public SaverOnEveryExit,
                              public ::testing::WithParamInterface<RefusedCase> {};

// A second start, refused, is closed from outside while its box is open: the
// first instance's hold and icon are not its business on any way out.
TEST_P(RefusedInstanceClosed, TouchesNeitherTheSaverNorTheIcon) {
    WriteStore(MachineStore(), kHotCornersOn);
    Process& first = Launch("first");
    ASSERT_NE(WaitDocked(first.Pid()), 0u) << first.Describe();
    ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
    ASSERT_TRUE(SaverTimeoutBecomes(0, 5s)) << "the corner did not hold the saver off";

    Process& second = Launch("second");
    const Trace trace = TraceOf("second");
    ASSERT_TRUE(WaitFor([&] { return trace.Has("msgbox \""); }, 15s)) << second.Describe();
    second.Signal(GetParam().signal);
    ASSERT_TRUE(second.WaitExit(10s)) << second.Describe();
    EXPECT_TRUE(second.ExitedNormally()) << second.Describe();
    EXPECT_FALSE(trace.Has("saver active")) << "the refused instance switched the saver";
    EXPECT_FALSE(trace.Has("notify")) << "the refused instance touched an icon";
    EXPECT_EQ(Probe().SaverTimeout(), 0) << "the first instance's hold is gone";
    EXPECT_TRUE(first.Running()) << first.Describe();
    EXPECT_FALSE(DockedOf(first.Pid()).empty()) << "the first instance lost its icon";
}

INSTANTIATE_TEST_SUITE_P(Signals, RefusedInstanceClosed,
                         ::testing::Values(RefusedCase{SIGTERM, "SIGTERM"},
                                           RefusedCase{SIGHUP, "SIGHUP"},
                                           RefusedCase{SIGINT, "SIGINT"}),
                         [](const auto& test) { return std::string(test.param.name); });

enum class Owner { Gone, SomeoneElsesWindow, Running };

TEST_F(SaverOnEveryExit, ALeftoverRecordIsRepairedAtStartOnlyWhenItsOwnerIsGone) {
    const struct {
        const char* name;
        Owner owner;
        int userTimeout;  // what the server has when the program starts
        long recorded;    // the timeout the record names
        int expected;     // and afterwards
        bool recordStays;
        const char* says;  // on stderr
    } cases[] = {
        {"owner gone, saver still off", Owner::Gone, 0, 450, 450, false, "(timeout 450 s)"},
        {"owner's id now another client's window", Owner::SomeoneElsesWindow, 0, 450, 450, false,
         "(timeout 450 s)"},
        {"owner gone, user set a timeout since", Owner::Gone, 120, 450, 120, false, ""},
        {"owner running: another instance's hold", Owner::Running, 0, 450, 0, true, ""},
        {"the longest timeout X keeps", Owner::Gone, 0, 32767, 32767, false, "(timeout 32767 s)"},
        // Past 16 bits: 65541 would wrap to 5 s, 40000 be refused.
        {"forged 65541", Owner::Gone, 0, 65541, kServerSaverTimeout, false, "names 65541 s"},
        {"forged 40000", Owner::Gone, 0, 40000, kServerSaverTimeout, false, "names 40000 s"},
        {"forged 0", Owner::Gone, 0, 0, kServerSaverTimeout, false, "names 0 s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk desk(X().Display());
        ASSERT_TRUE(desk.Open());
        Window owner = 0;
        if (c.owner == Owner::Gone) {
            Desk ended(X().Display());
            owner = ended.MakeWindow();
        } else {
            owner = desk.MakeWindow();
            if (c.owner == Owner::Running) {
                desk.WriteCardinals(owner, {static_cast<long>(owner)});
            }
        }
        desk.WriteCardinals(desk.Root(), {c.recorded, static_cast<long>(owner)});
        desk.SetSaverTimeout(c.userTimeout);

        Process& program = Launch("wakewatch");
        ASSERT_NE(WaitDocked(program.Pid()), 0u) << program.Describe();
        // Start-up is over once the icon is docked.
        EXPECT_EQ(Probe().SaverTimeout(), c.expected);
        EXPECT_EQ(desk.ReadRecord().has_value(), c.recordStays);
        const std::string said = ReadFile(program.StderrPath());
        if (*c.says != '\0') {
            EXPECT_NE(said.find(c.says), std::string::npos) << said;
        } else {
            EXPECT_EQ(said.find("switched back on"), std::string::npos) << said;
        }
        program.Signal(SIGTERM);
        ASSERT_TRUE(program.WaitExit(5s));
        if (!c.recordStays) {
            // Its end switches the saver on, whatever it was: to what it repaired.
            EXPECT_EQ(Probe().SaverTimeout(), c.expected) << "the program's end changed it";
        }
        desk.EraseRecord();
    }
}

}  // namespace
}  // namespace ww::e2e
