#include "ui/FrmMain.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "monitors/MemStats.h"
#include "ui/FrmMainLayout.h"
#include "ui/FrmMainTestSupport.h"

namespace ww::ui {
namespace {

using platform::MainControl;
using platform::MousePointer;
using platform::SimMainWindowView;
using platform::WindowState;

class FrmMainTest : public ::testing::Test, public FrmMainFixture {};

TEST(FrmMainLayout, EveryControlOnceAfterItsContainerOnItsContainersPage) {
    const auto& windowLayout = FrmMainLayout();
    std::map<MainControl, const platform::ControlLayout*> seen;
    for (const auto& layout : windowLayout.controls) {
        SCOPED_TRACE(platform::MainControlName(layout.id));
        EXPECT_FALSE(seen.contains(layout.id));
        if (layout.container != MainControl::Window) {
            ASSERT_TRUE(seen.contains(layout.container));
            const auto* container = seen.at(layout.container);
            EXPECT_TRUE(container->kind == platform::ControlKind::TabControl ||
                        container->page == layout.page);
        }
        seen[layout.id] = &layout;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(MainControl::btnApply));  // all but Window
    // Enter is OK, Escape is Cancel; the buttons tab OK, Cancel, Apply, Unload.
    EXPECT_TRUE(seen.at(MainControl::btnOK)->isDefault);
    EXPECT_TRUE(seen.at(MainControl::btnCancel)->isCancel);
    const MainControl tabOrder[] = {MainControl::btnOK, MainControl::btnCancel,
                                    MainControl::btnApply, MainControl::btnUnload};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(seen.at(tabOrder[i])->tabIndex, i + 1);
    }
    for (const auto link : {MainControl::lblEmail, MainControl::lblWebsite}) {
        EXPECT_TRUE(seen.at(link)->underline && seen.at(link)->autoSize);
        EXPECT_EQ(seen.at(link)->foreColor, 0x0000FF);
    }
    EXPECT_EQ(windowLayout.linkPointer.pixels.size(), 32U * 32U);
    EXPECT_EQ(windowLayout.linkPointer.pixels[5 * 32 + 13], 0)
        << "the hot spot is on the finger tip";
}

TEST_F(FrmMainTest, LoadingFillsTheFrameAndTheAboutPage) {
    frm.Show();
    ASSERT_TRUE(View().Shown());
    EXPECT_EQ(Text(MainControl::Window), "Wakewatch");
    EXPECT_EQ(Text(MainControl::lblAppName), "Wakewatch");
    EXPECT_EQ(Text(MainControl::lblVersion), "version 1.5.1  (27 January 2006)");
    EXPECT_EQ(Text(MainControl::lblVisit), "visit the Wakewatch");
    EXPECT_EQ(frm.AppNameVersion(), "Wakewatch 1.5.1");
    // Each link follows its auto-sized sentence by 60 twips.
    const int perCharacter = SimMainWindowView::kTwipsPerCharacter;
    EXPECT_EQ(View().GetLeft(MainControl::lblWebsite), 240 + 19 * perCharacter + 60);
    EXPECT_EQ(View().GetLeft(MainControl::lblEmail),
              240 + View().GetWidth(MainControl::lblCopyright) + 60);
    for (const auto field : {MainControl::txtUptime, MainControl::txtStartTime,
                             MainControl::txtCpuUsage, MainControl::txtMemUsage}) {
        EXPECT_TRUE(View().OnButtonFace(field)) << platform::MainControlName(field);
    }
    EXPECT_EQ(sim.log().Count("InitCommonControlsEx(8, 0x200)"), 1U);
    EXPECT_TRUE(frm.HasCpuLoadMonitor());
    ASSERT_EQ(sim.eventLoop().Timers().size(), 1U);
    EXPECT_EQ(sim.eventLoop().Timers().front().intervalMs, 1000U);
}

TEST_F(FrmMainTest, VersionLineFollowsTheProgramVersion) {
    platform::AppFacts facts = sim.application().App();
    facts.major = 2;
    facts.minor = 10;
    facts.revision = 0;
    sim.application().SetFacts(facts);
    frm.Load();
    EXPECT_EQ(Text(MainControl::lblVersion), "version 2.10.0  (27 January 2006)");
    EXPECT_EQ(frm.AppNameVersion(), "Wakewatch 2.10.0");
}

TEST_F(FrmMainTest, StatusFieldsHaveTheirExactTexts) {
    for (const std::string name : {"OFFICE7", ""}) {
        SCOPED_TRACE(name);
        computer.ComputerName = name;
        frm.Load();
        EXPECT_EQ(Text(MainControl::txtUptime),
                  name + " has been up for " + uptime.GetUptimeText());
        EXPECT_EQ(Text(MainControl::txtStartTime), "up since " + uptime.GetStartTimeText());
        EXPECT_EQ(Text(MainControl::txtMemUsage),
                  monitors::GetMemoryUsageText(sim.memory(), sim.locale(), computer));
        EXPECT_EQ(Text(MainControl::txtCpuUsage), "00 %");
        frm.Unload();
    }
}

TEST_F(FrmMainTest, Timer1RefreshesOnceASecondWhileLoaded) {
    frm.Load();
    sim.processorLoad().QueueIdle(platform::SimProcessorLoad::kDefaultTime + 10'000'000,
                                  {5'000'000});
    const std::string before = Text(MainControl::txtUptime);
    sim.clock().AdvanceMs(999);
    EXPECT_EQ(Text(MainControl::txtUptime), before);
    sim.clock().AdvanceMs(1);
    EXPECT_NE(Text(MainControl::txtUptime), before);
    EXPECT_EQ(Text(MainControl::txtCpuUsage), "50 %");

    // Hidden after a minimise it still refreshes; unloaded it does not.
    View().UserMinimize();
    const std::size_t refreshes = sim.log().Count("SetText(txtUptime");
    sim.clock().AdvanceMs(1000);
    EXPECT_EQ(sim.log().Count("SetText(txtUptime"), refreshes + 1);
    frm.Unload();
    EXPECT_TRUE(sim.eventLoop().Timers().empty());
    sim.clock().AdvanceMs(5000);
    EXPECT_EQ(sim.log().Count("SetText(txtUptime"), refreshes + 1);
}

TEST_F(FrmMainTest, WithoutACpuSamplerTheOtherFieldsStillRefresh) {
    sim.identity().SetVersionFails(true);  // the sampler's constructor fails (8001)
    frm.Load();
    EXPECT_FALSE(frm.HasCpuLoadMonitor());
    EXPECT_EQ(Text(MainControl::txtCpuUsage), "");
    const std::string before = Text(MainControl::txtUptime);
    sim.clock().AdvanceMs(1000);
    EXPECT_NE(Text(MainControl::txtUptime), before);
    EXPECT_EQ(Text(MainControl::txtCpuUsage), "");
    EXPECT_EQ(sim.log().Count("SetText(txtCpuUsage"), 0U);
    EXPECT_EQ(sim.log().Count("SetText(txtMemUsage"), 2U);
    EXPECT_EQ(sim.log().Count("SetText(txtStartTime"), 2U);
}

// A memory port that raises an error, as a failing system call would.
class ThrowingMemory : public platform::Memory {
  public:
    explicit ThrowingMemory(platform::Memory& inner) : inner_(inner) {}
    bool GlobalMemoryStatusEx(platform::MemoryStatusEx&) override {
        throw std::runtime_error("memory");
    }
    void GlobalMemoryStatus(platform::MemoryStatus&) override {
        throw std::runtime_error("memory");
    }
    std::uint32_t GetCurrentProcessId() override { return inner_.GetCurrentProcessId(); }
    platform::Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t id) override {
        return inner_.OpenProcess(access, inherit, id);
    }
    bool SetProcessWorkingSetSize(platform::Handle process, std::intptr_t minimum,
                                  std::intptr_t maximum) override {
        return inner_.SetProcessWorkingSetSize(process, minimum, maximum);
    }
    bool CloseHandle(platform::Handle handle) override { return inner_.CloseHandle(handle); }

  private:
    platform::Memory& inner_;
};

TEST(FrmMainErrors, AFieldThatRaisesAnErrorKeepsItsTextAndTheOthersGoOn) {
    platform::SimPlatform sim;
    ThrowingMemory memory(sim.memory());
    platform::Ports& p = sim.ports();
    platform::Ports ports{
        p.clock,    p.locale,         p.identity,  p.notifyIcon,       p.windows,
        p.instance, p.application,    p.eventLoop, p.dialogs,          p.forms,
        p.registry, p.interfaceTable, memory,      p.systemParameters, p.cursorScreen,
        p.shell,    p.processorLoad,  p.trayMenu,  p.mainWindow};
    monitors::ComputerIdentity computer;
    computer.ComputerName = "OFFICE7";
    settings::StoredFlags stored;
    uptime::Uptime uptime(sim.clock(), sim.locale());
    FrmMain frm(ports, computer, stored, uptime);
    frm.Load();
    EXPECT_EQ(sim.mainWindow().GetText(MainControl::txtMemUsage), "");
    EXPECT_EQ(sim.mainWindow().GetText(MainControl::txtCpuUsage), "00 %");
    EXPECT_FALSE(sim.mainWindow().GetText(MainControl::txtStartTime).empty());
    EXPECT_EQ(sim.log().Count("SetText(txtMemUsage"), 0U);
}

TEST_F(FrmMainTest, MinimisingHidesTheWindowAndTrims) {
    frm.Show();
    const int trims = sim.memory().TrimCount();
    ASSERT_TRUE(View().UserMinimize());
    EXPECT_FALSE(View().Shown());
    EXPECT_EQ(View().GetWindowState(), WindowState::Normal);
    EXPECT_EQ(sim.memory().TrimCount(), trims + 1);
    EXPECT_TRUE(frm.Loaded());
    // Shown again: where it was, not minimised, still current.
    frm.Show();
    EXPECT_TRUE(View().Shown());
    EXPECT_EQ(frm.GetWindowState(), WindowState::Normal);
    EXPECT_EQ(View().CreateCount(), 1);
}

TEST_F(FrmMainTest, PointerIsTheHandOnlyAfterALinkUntilBackgroundOrTabs) {
    frm.Show();
    const struct {
        MainControl over;
        MousePointer pointer;
    } steps[] = {
        {MainControl::lblEmail, MousePointer::Hand},  {MainControl::Label9, MousePointer::Hand},
        {MainControl::SSTab1, MousePointer::Default}, {MainControl::lblWebsite, MousePointer::Hand},
        {MainControl::Image, MousePointer::Hand},     {MainControl::Window, MousePointer::Default},
        {MainControl::Label2, MousePointer::Default},
    };
    for (const auto& step : steps) {
        View().UserMouseMove(step.over);
        EXPECT_EQ(View().Pointer(), step.pointer) << platform::MainControlName(step.over);
    }
}

TEST_F(FrmMainTest, SecretClickTogglesTheGreeting) {
    frm.Show();
    const std::string greeting(kGreeting);
    enum class Event { Secret, Activate, NotAllModifiers, RightButton, Reload };
    const struct {
        Event event;
        bool shown;
        std::string label;
    } steps[] = {
        {Event::Secret, true, greeting},     {Event::Secret, false, ""},
        {Event::NotAllModifiers, false, ""}, {Event::RightButton, false, ""},
        {Event::Secret, true, greeting},     {Event::Activate, true, ""},
        {Event::Secret, false, ""},          {Event::Secret, true, greeting},
        {Event::Reload, true, ""},           {Event::Secret, false, ""},
    };
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(++n);
        switch (step.event) {
            case Event::Secret:
                View().UserMouseDown(MainControl::Image, 1, 7);
                break;
            case Event::Activate:
                View().Activate();
                break;
            case Event::NotAllModifiers:
                View().UserMouseDown(MainControl::Image, 1, 3);
                break;
            case Event::RightButton:
                View().UserMouseDown(MainControl::Image, 2, 7);
                break;
            case Event::Reload:
                frm.Unload();
                frm.Show();
                break;
        }
        EXPECT_EQ(frm.EasterEggShown(), step.shown);
        EXPECT_EQ(Text(MainControl::lblEEgg), step.label);
    }
}

TEST_F(FrmMainTest, UnloadReleasesTheSamplerAndTheWindow) {
    frm.Show();
    frm.Unload();
    EXPECT_FALSE(frm.HasCpuLoadMonitor());
    EXPECT_FALSE(frm.Loaded());
    EXPECT_FALSE(View().Exists());
    EXPECT_EQ(frm.AppNameVersion(), "Wakewatch 1.5.1");
    // Asking for its handle loads it again.
    EXPECT_NE(frm.hWnd(), 0U);
    EXPECT_EQ(View().CreateCount(), 2);
    EXPECT_FALSE(View().Shown());
}

TEST_F(FrmMainTest, UnloadButtonUnloadsTheTrayFormFirstThenEnds) {
    std::vector<std::string> order;
    frm.SetTrayFormUnloader([&] {
        order.push_back(frm.Loaded() ? "tray form, window still loaded" : "tray form too late");
    });
    frm.Show();
    View().UserClick(MainControl::btnUnload);
    EXPECT_EQ(order, std::vector<std::string>{"tray form, window still loaded"});
    EXPECT_FALSE(frm.Loaded());
    EXPECT_TRUE(sim.eventLoop().Ended());
}

TEST_F(FrmMainTest, TitleBarCloseIsCancel) {
    stored.HotCornersEnabled = 0;
    frm.Show();
    View().UserClick(MainControl::chkHotCorners);
    const int trims = sim.memory().TrimCount();
    ASSERT_TRUE(View().UserClose());
    EXPECT_FALSE(frm.Loaded());
    EXPECT_EQ(sim.memory().TrimCount(), trims + 1);
    EXPECT_EQ(stored.HotCornersEnabled, 0);
    EXPECT_EQ(sim.log().Count("RegSetValueExA"), 0U);
}

}  // namespace
}  // namespace ww::ui
