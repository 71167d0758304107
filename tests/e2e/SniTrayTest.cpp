#include <cctype>
#include <csignal>
#include <ostream>

#include "tests/e2e/SniBus.h"
#include "tests/e2e/WakewatchTest.h"
#include "tests/support/CaseNames.h"

namespace ww::e2e {
namespace {

// Wakewatch on a session bus of its own, with our StatusNotifierWatcher and
// host there (or coming later) and, unless asked for, no XEmbed tray.
class SniTrayTest : public WakewatchTest {
  protected:
    bool WithTrayHost() const override { return false; }

    void SetUp() override {
        WakewatchTest::SetUp();
        bus_ = std::make_unique<SniBus>(X().Dir().Path(), WW_SNI_HOST_PATH);
    }
    void TearDown() override {
        WakewatchTest::TearDown();
        bus_.reset();
    }

    Process& Start() {
        program_ = &Launch("wakewatch", bus_->With(X().ProgramEnv("wakewatch")));
        return *program_;
    }
    // The host's reading of a newly registered item, after `after` ms of its log.
    std::optional<TraceLine> WaitItem(std::chrono::milliseconds timeout = 10s,
                                      std::int64_t after = -1) {
        std::optional<TraceLine> item;
        WaitFor(
            [&] {
                for (const TraceLine& line : bus_->HostLog().All("item props ")) {
                    if (line.ms >= after) {
                        item = line;
                        return true;
                    }
                }
                return false;
            },
            timeout);
        return item;
    }
    std::vector<TraceLine> Menu() { return bus_->Call({"menu"}).lines; }
    bool Click(int id) { return bus_->Call({"click", std::to_string(id)}).code == 0; }

    std::unique_ptr<SniBus> bus_;
    Process* program_ = nullptr;
};

void ExpectWholeItem(const TraceLine& item) {
    EXPECT_EQ(item.Field("id"), "wakewatch") << item.text;
    EXPECT_EQ(item.Field("title"), "Wakewatch");
    EXPECT_EQ(item.Field("category"), "ApplicationStatus");
    EXPECT_EQ(item.Field("status"), "Active");
    EXPECT_EQ(item.Field("menu"), "/MenuBar");
    EXPECT_EQ(item.Field("sizes"), "16x16,22x22,24x24,32x32,48x48");
}

struct LateHost {
    const char* name;
    int watcherAfterMs;
    int hostAfterMs;
};

void PrintTo(const LateHost& late, std::ostream* os) {
    *os << late.name;
}

class SniLateHostTest : public SniTrayTest, public ::testing::WithParamInterface<LateHost> {};

// At login the panel and Wakewatch start side by side: whichever comes
// first, the item is in the host within a second of the host being there.
TEST_P(SniLateHostTest, TheItemIsThereWithinASecondOfTheHost) {
    Start();
    bus_->StartHost(GetParam().watcherAfterMs, GetParam().hostAfterMs);
    std::int64_t hostUp = -1;
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto up = bus_->HostLog().All("host up");
            hostUp = up.empty() ? -1 : up.front().ms;
            return hostUp >= 0;
        },
        10s));
    const auto item = WaitItem(5s, hostUp);
    ASSERT_TRUE(item) << "no item registered after the host came; wakewatch is "
                      << program_->Describe();
    EXPECT_LE(item->ms - hostUp, 1000) << item->text;
    ExpectWholeItem(*item);
    EXPECT_TRUE(IsUptimeTip(item->Field("tip")) || item->Field("tip").ends_with(" Wakewatch"))
        << item->text;
    // The tooltip ticks on in the host.
    EXPECT_TRUE(WaitFor(
        [&] {
            const auto tips = bus_->HostLog().All("tooltip ");
            return tips.size() >= 2 && IsUptimeTip(tips.back().Field("tip"));
        },
        5s));
}

INSTANTIATE_TEST_SUITE_P(Hosts, SniLateHostTest,
                         ::testing::Values(LateHost{"WatcherAndHostTwoSecondsLate", 2000, 2000},
                                           LateHost{"HostRegisteredThreeSecondsAfterTheWatcher", 0,
                                                    3000}),
                         [](const auto& test) { return std::string(test.param.name); });

bool CarriesTip(const TraceLine& line) {
    return (line.StartsWith("notify add ") || line.StartsWith("notify modify ")) &&
           line.text.find(" tip=\"") != std::string::npos;
}

TEST_F(SniTrayTest, TwentyHostRestartsEachBringTheItemBackAsItWas) {
    constexpr int kRestarts = 20;
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitItem()) << program_->Describe();
    const Trace trace = TraceOf("wakewatch");
    ASSERT_TRUE(WaitFor([&] { return trace.Has("notify modify ok tip="); }, 5s));

    for (int restart = 1; restart <= kRestarts; ++restart) {
        bus_->StopHost(restart % 2 == 0 ? SIGKILL : SIGTERM);
        bus_->StartHost();
        const auto item = WaitItem(5s);
        ASSERT_TRUE(item) << "no item after restart " << restart;
        ExpectWholeItem(*item);
        // The re-add after the restart's notice carries what was set last before it.
        std::string lastTip;
        std::string lastIcon;
        std::string addedTip;
        std::size_t notices = 0;
        const bool readded = WaitFor(
            [&] {
                notices = 0;
                for (const TraceLine& line : trace.Lines()) {
                    if (line.StartsWith("taskbar-created")) {
                        ++notices;
                    } else if (notices >= static_cast<std::size_t>(restart) &&
                               line.StartsWith("notify add ok")) {
                        EXPECT_EQ(line.Field("tip"), lastTip) << "restart " << restart;
                        EXPECT_EQ(line.Field("hIcon"), lastIcon) << "restart " << restart;
                        addedTip = line.Field("tip");
                        return true;
                    }
                    if (notices < static_cast<std::size_t>(restart)) {
                        if (CarriesTip(line)) {
                            lastTip = line.Field("tip");
                        }
                        if (!line.Field("hIcon").empty() && line.StartsWith("notify")) {
                            lastIcon = line.Field("hIcon");
                        }
                    }
                }
                return false;
            },
            3s);
        ASSERT_TRUE(readded) << "no re-add after restart " << restart;
        // The host shows what was re-added (the start-up tip when a tick fell
        // into the gap and repaired it), then the uptime once more.
        EXPECT_EQ(item->Field("tip"), addedTip) << item->text;
        EXPECT_TRUE(WaitFor(
            [&] {
                const auto tips = bus_->HostLog().All("tooltip ");
                return !tips.empty() && IsUptimeTip(tips.back().Field("tip"));
            },
            3s))
            << "restart " << restart;
        ASSERT_TRUE(program_->Running()) << program_->Describe();
    }
}

TEST_F(SniTrayTest, TheMenuOverDbusmenuLooksAndActsAsTheRightClickMenu) {
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitItem()) << program_->Describe();

    const struct {
        int id;
        const char* label;
        const char* toggle;  // toggle-state; "" for none
        const char* enabled;
    } fresh[] = {
        {1, "_Restore Wakewatch...", "", "true"},      {3, "Enable _Hot Corners", "0", "true"},
        {5, "_Start Screen Saver...", "", "true"},     {6, "_Disable Screen Saver", "0", "true"},
        {7, "_Configure Screen Saver...", "", "true"}, {9, "E_xit Wakewatch", "", "true"},
    };
    auto menu = Menu();
    ASSERT_EQ(menu.size(), 9U);
    for (int separator : {2, 4, 8}) {
        EXPECT_EQ(MenuField(menu, separator, "type"), "separator");
    }
    for (const auto& e : fresh) {
        EXPECT_EQ(MenuField(menu, e.id, "label"), e.label);
        EXPECT_EQ(MenuField(menu, e.id, "enabled"), e.enabled) << e.label;
        EXPECT_EQ(MenuField(menu, e.id, "toggle-state"), e.toggle) << e.label;
        EXPECT_EQ(MenuField(menu, e.id, "toggle-type"), *e.toggle ? "checkmark" : "") << e.label;
    }

    // "Enable &Hot Corners": stored, and shown checked next time.
    ASSERT_TRUE(Click(3));
    EXPECT_TRUE(WaitFor(
        [&] {
            return ReadFile(MachineStore()).find("\"HotCorners\"=dword:00000001") !=
                   std::string::npos;
        },
        5s));
    EXPECT_EQ(MenuField(Menu(), 3, "toggle-state"), "1");

    // "&Disable Screen Saver": the X saver goes off; the menu then shows it
    // checked, hot corners greyed, and Start greyed with the saver off.
    const int timeout = Probe().SaverTimeout();
    ASSERT_TRUE(Click(6));
    EXPECT_TRUE(WaitFor([&] { return Probe().SaverTimeout() == 0; }, 5s));
    menu = Menu();
    EXPECT_EQ(MenuField(menu, 6, "toggle-state"), "1");
    EXPECT_EQ(MenuField(menu, 3, "enabled"), "false");
    EXPECT_EQ(MenuField(menu, 5, "enabled"), "false");
    ASSERT_TRUE(Click(6));
    EXPECT_TRUE(WaitFor([&] { return Probe().SaverTimeout() == timeout; }, 5s));

    // "&Start Screen Saver...", "&Configure Screen Saver..." and "&Restore".
    ASSERT_TRUE(Click(5));
    EXPECT_TRUE(WaitFor([&] { return Probe().SaverState() == 1; }, 5s))
        << "state " << Probe().SaverState();
    const Trace trace = TraceOf("wakewatch");
    ASSERT_TRUE(Click(7));
    EXPECT_TRUE(WaitFor([&] { return trace.Has("shell start"); }, 5s));
    ASSERT_TRUE(Click(1));
    EXPECT_TRUE(WaitFor([&] { return MainWindowOf(program_->Pid()) != 0; }, 5s));

    // "E&xit Wakewatch".
    ASSERT_TRUE(Click(9));
    ASSERT_TRUE(program_->WaitExit(5s)) << "still running after Exit";
    EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
}

// A host that draws the menu from what it read last, never asking first:
// each change of a check or grey reaches it as ItemsPropertiesUpdated, and
// the layout read afresh has it, whether the menu or the bottom-right corner
// changed it.
TEST_F(SniTrayTest, TheMenuTellsHostsOfEveryChangeWithoutBeingAsked) {
    WriteStore(
        MachineStore(),
        "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n\"HotCorners\"=dword:00000001\n");
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitItem()) << program_->Describe();
    ASSERT_TRUE(MoveCursor(512, 384));
    const auto layout = [&] { return bus_->Call({"layout"}).lines; };
    const auto updated = [&](int id, const std::string& field, const std::string& value) {
        return WaitFor(
            [&] {
                for (const TraceLine& line : bus_->HostLog().All("menu updated ")) {
                    if (line.Field("id") == std::to_string(id) && line.Field(field) == value) {
                        return true;
                    }
                }
                return false;
            },
            5s);
    };
    // The first tick sets the states from the stored settings.
    ASSERT_TRUE(WaitFor([&] { return MenuField(layout(), 3, "toggle-state") == "1"; }, 5s));
    auto menu = layout();
    ASSERT_EQ(menu.size(), 9U);
    EXPECT_EQ(MenuField(menu, 5, "enabled"), "true");

    ASSERT_TRUE(Click(6));  // "&Disable Screen Saver"
    EXPECT_TRUE(updated(6, "toggle-state", "1"));
    EXPECT_TRUE(updated(3, "enabled", "false"));
    EXPECT_TRUE(updated(5, "enabled", "false"));
    menu = layout();
    EXPECT_EQ(MenuField(menu, 6, "toggle-state"), "1");
    EXPECT_EQ(MenuField(menu, 3, "enabled"), "false");
    EXPECT_EQ(MenuField(menu, 5, "enabled"), "false");
    ASSERT_TRUE(Click(6));
    EXPECT_TRUE(updated(6, "toggle-state", "0"));
    EXPECT_TRUE(WaitFor([&] { return MenuField(layout(), 5, "enabled") == "true"; }, 5s));

    // Resting bottom right holds the saver off: nothing left to start.
    const std::size_t before = bus_->HostLog().All("menu updated ").size();
    ASSERT_TRUE(MoveCursor(1023, 767));
    EXPECT_TRUE(WaitFor([&] { return MenuField(layout(), 5, "enabled") == "false"; }, 5s));
    EXPECT_GT(bus_->HostLog().All("menu updated ").size(), before);
    ASSERT_TRUE(MoveCursor(512, 384));
    EXPECT_TRUE(WaitFor([&] { return MenuField(layout(), 5, "enabled") == "true"; }, 5s));
    ASSERT_TRUE(program_->Running()) << program_->Describe();
}

TEST_F(SniTrayTest, ActivateOpensTheWindowAndContextMenuPopsTheMenuUpThere) {
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitItem()) << program_->Describe();
    ASSERT_EQ(bus_->Call({"activate", "5", "5"}).code, 0);
    EXPECT_TRUE(WaitFor([&] { return MainWindowOf(program_->Pid()) != 0; }, 5s));

    ASSERT_EQ(bus_->Call({"context-menu", "300", "200"}).code, 0);
    EXPECT_TRUE(WaitFor(
        [&] {
            for (XWindow w : Probe().OverrideRedirectWindows()) {
                const auto place = Probe().RootGeometry(w);
                if (Probe().Pid(w) == program_->Pid() && place && place->height > 100) {
                    return std::abs(place->x - 300) <= 2 && std::abs(place->y - 200) <= 2;
                }
            }
            return false;
        },
        5s))
        << "no menu at 300,200";
}

// Every property of the interface, in GetAll and one by one: hosts build
// their proxies from all of them (lxqt-panel asks IconThemePath of every
// item; GNOME's extension dropped items it could not build one for).
TEST_F(SniTrayTest, EveryPropertyOfTheInterfaceIsAnswered) {
    bus_->StartHost();
    Start();
    const auto item = WaitItem();
    ASSERT_TRUE(item) << program_->Describe();
    const char* const names[] = {"AttentionIconName",
                                 "AttentionIconPixmap",
                                 "AttentionMovieName",
                                 "Category",
                                 "IconName",
                                 "IconPixmap",
                                 "IconThemePath",
                                 "Id",
                                 "ItemIsMenu",
                                 "Menu",
                                 "OverlayIconName",
                                 "OverlayIconPixmap",
                                 "Status",
                                 "Title",
                                 "ToolTip",
                                 "WindowId"};
    std::string all;
    for (const char* name : names) {
        all += std::string(all.empty() ? "" : ",") + name;
        const auto answer = bus_->Call({"raw", "item", "properties", "Get",
                                        "s=org.kde.StatusNotifierItem", std::string("s=") + name});
        ASSERT_EQ(answer.lines.size(), 1U) << name;
        EXPECT_EQ(answer.lines.front().Field("signature"), "v") << answer.lines.front().text;
    }
    EXPECT_EQ(item->Field("names"), all);
}

struct Dropping {
    const char* name;
    std::vector<std::string> hostOptions;
};
using ww::cases::PrintTo;

class SniDroppedTest : public SniTrayTest, public ::testing::WithParamInterface<Dropping> {};

// A watcher that forgets the item while Wakewatch runs (GNOME's did when its
// proxy for the item failed): Wakewatch registers it again, saying so, and
// the item stays once the watcher keeps it.
TEST_P(SniDroppedTest, TheItemRegistersAgainUntilTheWatcherKeepsIt) {
    bus_->SetHostOptions(GetParam().hostOptions);
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitFor([&] { return bus_->HostLog().All("item registered ").size() >= 3; }, 20s))
        << bus_->HostLog().All("item registered ").size() << " registrations; wakewatch is "
        << program_->Describe();
    EXPECT_EQ(bus_->HostLog().All("item dropped ").size(), 2U);
    const auto listed = bus_->Call({"props"});
    ASSERT_EQ(listed.code, 0);
    ExpectWholeItem(listed.lines.front());
    EXPECT_NE(ReadFile(program_->StderrPath()).find("registering it again in 2 s"),
              std::string::npos)
        << ReadFile(program_->StderrPath());
    // Kept: no fourth registration, past the check after the third.
    EXPECT_FALSE(
        WaitFor([&] { return bus_->HostLog().All("item registered ").size() > 3; }, 4500ms));
}

INSTANTIATE_TEST_SUITE_P(Watchers, SniDroppedTest,
                         ::testing::Values(Dropping{"Announced", {"--drop", "2"}},
                                           Dropping{"Silently",
                                                    {"--drop", "2", "--drop-silently"}}),
                         ww::cases::CaseName{});

// An XEmbed tray first; a StatusNotifierItem host that comes later takes the
// icon, so that a desktop showing both never shows it twice; when the host
// goes, the icon docks again.
class SniBesideXEmbedTest : public SniTrayTest {
  protected:
    bool WithTrayHost() const override { return true; }
};

TEST_F(SniBesideXEmbedTest, ALateHostTakesTheIconFromTheXEmbedTrayAndGivesItBack) {
    Start();
    ASSERT_NE(WaitDocked(program_->Pid()), 0u) << program_->Describe();
    bus_->StartHost();
    ASSERT_TRUE(WaitItem()) << "no item in the late host";
    EXPECT_TRUE(WaitFor([&] { return DockedOf(program_->Pid()).empty(); }, 5s))
        << "the XEmbed icon stayed beside the item";

    bus_->StopHost(SIGTERM);
    EXPECT_NE(WaitDocked(program_->Pid(), 5s), 0u) << "the icon did not dock again";
    ASSERT_TRUE(program_->Running()) << program_->Describe();
}

// The session bus goes away and comes back (a restart, or a bus that cut
// Wakewatch off): Wakewatch connects anew and the item is in the host again,
// as after a restart of the host.
TEST_F(SniTrayTest, AfterTheSessionBusRestartsTheItemRegistersAgain) {
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitItem()) << program_->Describe();
    bus_->StopHost(SIGTERM);
    bus_->RestartDaemon();
    bus_->StartHost();
    const auto item = WaitItem(10s);
    ASSERT_TRUE(item) << "no item after the bus restart; wakewatch is " << program_->Describe();
    ExpectWholeItem(*item);
    const Trace trace = TraceOf("wakewatch");
    EXPECT_TRUE(trace.Has("sni bus lost"));
    EXPECT_TRUE(trace.Has("sni bus back"));
    // The menu answers on the new connection, and the tooltip ticks on there.
    EXPECT_EQ(Menu().size(), 9U);
    EXPECT_TRUE(WaitFor(
        [&] {
            const auto tips = bus_->HostLog().All("tooltip ");
            return !tips.empty() && IsUptimeTip(tips.back().Field("tip"));
        },
        5s));
    ASSERT_TRUE(program_->Running()) << program_->Describe();
}

// A call no host should make, from any client on the session bus: in a
// signature the interface does not give the method, or naming more than the
// menu could need.
struct OddCall {
    const char* object;     // "item" or "menu": the path called
    const char* interface;  // "item", "menu" or "properties"
    const char* member;
    // As wakewatch_sni_host takes them: "<signature>[=<value>]".
    std::vector<std::string> args;
    // The arrays' lengths of the answer; none: InvalidArgs.
    const char* counts = nullptr;
};

// Item_Scroll_s_i, Menu_EventGroup_aStructisvEnd, Menu_AboutToShowGroup_ai_0x20000.
std::string OddCallName(const OddCall& call) {
    std::string name =
        std::string(1, static_cast<char>(std::toupper(*call.object))) + (call.object + 1) + "_" +
        (std::string(call.interface) == "properties" ? "Properties_" : "") + call.member;
    if (call.args.empty()) {
        name += "_Nothing";
    }
    for (const std::string& arg : call.args) {
        name += '_';
        for (char c : arg) {
            switch (c) {
                case '(':
                    name += "Struct";
                    break;
                case '{':
                    name += "Dict";
                    break;
                case ')':
                case '}':
                    name += "End";
                    break;
                case '=':
                case ',':
                    name += '_';
                    break;
                case '*':
                    name += 'x';
                    break;
                case '-':
                    name += "minus";
                    break;
                default:
                    if (std::isalnum(static_cast<unsigned char>(c))) {
                        name += c;
                    }
            }
        }
    }
    return name;
}

void PrintTo(const OddCall& call, std::ostream* os) {
    *os << OddCallName(call);
}

class SniOddCallTest : public SniTrayTest, public ::testing::WithParamInterface<OddCall> {};

// Every method of the item and the menu answers a wrong signature with
// InvalidArgs (libdbus used to abort or crash on some), a request is bounded
// by the menu's size, and Wakewatch stays on the bus answering.
TEST_P(SniOddCallTest, IsAnsweredAndWakewatchAnswersOn) {
    bus_->StartHost();
    Start();
    ASSERT_TRUE(WaitItem()) << program_->Describe();
    const OddCall& odd = GetParam();
    std::vector<std::string> args = {"raw", odd.object, odd.interface, odd.member};
    args.insert(args.end(), odd.args.begin(), odd.args.end());
    const auto answer = bus_->Call(args);
    ASSERT_EQ(answer.lines.size(), 1U) << "exit code " << answer.code;
    const TraceLine& line = answer.lines.front();
    if (odd.counts == nullptr) {
        EXPECT_EQ(line.Field("name"), "org.freedesktop.DBus.Error.InvalidArgs") << line.text;
    } else {
        EXPECT_EQ(line.Field("counts"), odd.counts) << line.text;
    }

    const auto props = bus_->Call({"props"});
    ASSERT_EQ(props.code, 0) << (props.lines.empty() ? "" : props.lines.front().text)
                             << "; wakewatch is " << program_->Describe();
    ASSERT_EQ(props.lines.size(), 1U);
    ExpectWholeItem(props.lines.front());
    EXPECT_EQ(Menu().size(), 9U);
    EXPECT_TRUE(program_->Running()) << program_->Describe();
}

const OddCall kOddCalls[] = {
    // org.kde.StatusNotifierItem
    {"item", "item", "ContextMenu", {}},
    {"item", "item", "ContextMenu", {"i"}},
    {"item", "item", "ContextMenu", {"i", "i", "i"}},
    {"item", "item", "ContextMenu", {"s", "s"}},
    {"item", "item", "Activate", {}},
    {"item", "item", "Activate", {"i"}},
    {"item", "item", "Activate", {"i", "i", "i"}},
    {"item", "item", "Activate", {"s", "s"}},
    {"item", "item", "SecondaryActivate", {}},
    {"item", "item", "SecondaryActivate", {"i", "i", "i"}},
    {"item", "item", "SecondaryActivate", {"u", "u"}},
    {"item", "item", "Scroll", {}},
    {"item", "item", "Scroll", {"i", "i"}},
    {"item", "item", "Scroll", {"i", "s", "i"}},
    {"item", "item", "Scroll", {"s", "i"}},
    {"item", "item", "ProvideXdgActivationToken", {}},
    {"item", "item", "ProvideXdgActivationToken", {"i"}},
    {"item", "item", "ProvideXdgActivationToken", {"s", "s"}},
    // its properties; Get with one argument used to answer "read-only"
    {"item", "properties", "Get", {"s=org.kde.StatusNotifierItem"}},
    {"item", "properties", "Get", {}},
    {"item", "properties", "Get", {"s", "i"}},
    {"item", "properties", "Get", {"s", "s", "s"}},
    {"item", "properties", "GetAll", {}},
    {"item", "properties", "GetAll", {"i"}},
    {"item", "properties", "Set", {"s", "s"}},
    // com.canonical.dbusmenu
    {"menu", "menu", "GetLayout", {}},
    {"menu", "menu", "GetLayout", {"i", "i"}},
    {"menu", "menu", "GetLayout", {"i", "i", "as", "i"}},
    {"menu", "menu", "GetLayout", {"s", "s", "as"}},
    {"menu", "menu", "GetLayout", {"i", "i", "ai"}},
    {"menu", "menu", "GetGroupProperties", {"a(ii)", "as"}},
    {"menu", "menu", "GetGroupProperties", {"aai", "as"}},
    {"menu", "menu", "GetGroupProperties", {"a{ii}", "as"}},
    {"menu", "menu", "GetGroupProperties", {}},
    {"menu", "menu", "GetGroupProperties", {"ai"}},
    {"menu", "menu", "GetGroupProperties", {"as", "as"}},
    {"menu", "menu", "GetGroupProperties", {"ai", "as", "i"}},
    {"menu", "menu", "GetProperty", {}},
    {"menu", "menu", "GetProperty", {"i"}},
    {"menu", "menu", "GetProperty", {"i", "i"}},
    {"menu", "menu", "GetProperty", {"i", "s", "i"}},
    {"menu", "menu", "Event", {}},
    {"menu", "menu", "Event", {"i", "s", "v"}},
    {"menu", "menu", "Event", {"i", "s", "v", "u", "i"}},
    {"menu", "menu", "Event", {"i", "s", "i", "u"}},
    {"menu", "menu", "Event", {"(isvu)"}},
    {"menu", "menu", "EventGroup", {"a(isv)"}},
    {"menu", "menu", "EventGroup", {"ai"}},
    {"menu", "menu", "EventGroup", {"a(ii)"}},
    {"menu", "menu", "EventGroup", {"a(sisu)"}},
    {"menu", "menu", "EventGroup", {"(isvu)"}},
    {"menu", "menu", "EventGroup", {}},
    {"menu", "menu", "EventGroup", {"a(isvu)", "i"}},
    {"menu", "menu", "AboutToShow", {}},
    {"menu", "menu", "AboutToShow", {"u"}},
    {"menu", "menu", "AboutToShow", {"s"}},
    {"menu", "menu", "AboutToShow", {"i", "i"}},
    {"menu", "menu", "AboutToShowGroup", {"aai"}},
    {"menu", "menu", "AboutToShowGroup", {"a(i)"}},
    {"menu", "menu", "AboutToShowGroup", {}},
    {"menu", "menu", "AboutToShowGroup", {"i"}},
    {"menu", "menu", "AboutToShowGroup", {"as"}},
    {"menu", "menu", "AboutToShowGroup", {"ai", "i"}},
    {"menu", "properties", "Get", {"s=com.canonical.dbusmenu"}},
    {"menu", "properties", "GetAll", {}},
    // Bounded by the menu's size: ids named again or unknown count once, and
    // more than SniMenu::kMostIds (1024) ids, events or names are refused.
    // 520,000 ids used to make a 70 MB answer the bus cut Wakewatch off for,
    // 20,000 to hold the event loop for a second.
    {"menu", "menu", "GetGroupProperties", {"ai=3*520000", "as"}},
    {"menu", "menu", "GetGroupProperties", {"ai=3*1025", "as"}},
    {"menu", "menu", "GetGroupProperties", {"ai=3*1024", "as="}, "1"},
    {"menu", "menu", "GetGroupProperties", {"ai=99*1024", "as="}, "0"},
    {"menu", "menu", "AboutToShowGroup", {"ai=0*20000"}},
    {"menu", "menu", "AboutToShowGroup", {"ai=99*1024"}, "0,1"},
    {"menu", "menu", "EventGroup", {"a(isvu)=99*1025"}},
    {"menu", "menu", "EventGroup", {"a(isvu)=99*1024"}, "1"},
    {"menu", "menu", "GetLayout", {"i=0", "i=-1", "as=label*1025"}},
};

INSTANTIATE_TEST_SUITE_P(Calls, SniOddCallTest, ::testing::ValuesIn(kOddCalls),
                         [](const auto& test) { return OddCallName(test.param); });

}  // namespace
}  // namespace ww::e2e
