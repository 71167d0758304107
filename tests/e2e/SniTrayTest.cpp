#include <csignal>

#include "tests/e2e/SniBus.h"
#include "tests/e2e/WakewatchTest.h"

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

}  // namespace
}  // namespace ww::e2e
