// The CPU cost of one tick of the real Linux program, warm: the timer handler
// run back to back under Google Benchmark, with every port real (the
// /proc/net/dev read, the X cursor query with hot corners on, the Qt tray
// icon and its tooltip, the nested event processing). bench/run starts it on
// its private X server with a tray host; it needs a display.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <functional>
#include <memory>

#include "core/FrmSysTray.h"
#include "core/SharedState.h"
#include "core/Wakewatch.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/x11/X11Session.h"

namespace {

// The real event loop, except that the tick timer is kept here instead of
// being started, so the benchmark calls the handler the timer would call
// and no timer fires in between.
class HeldTimerLoop final : public ww::platform::EventLoop {
  public:
    explicit HeldTimerLoop(ww::platform::EventLoop& real) : real_(real) {}

    TimerId SetTimer(std::uint32_t, std::function<void()> onTick) override {
        tick_ = std::move(onTick);
        return 1;
    }
    void KillTimer(TimerId) override { tick_ = nullptr; }
    void DoEvents() override { real_.DoEvents(); }
    void End() override { real_.End(); }

    void Tick() const {
        if (tick_) {
            tick_();
        }
    }

  private:
    ww::platform::EventLoop& real_;
    std::function<void()> tick_;
};

struct Program {
    explicit Program(ww::platform::Ports& base)
        : loop(base.eventLoop),
          ports{base.clock,         base.locale,
                base.identity,      base.notifyIcon,
                base.windows,       base.instance,
                base.application,   loop,
                base.dialogs,       base.forms,
                base.registry,      base.interfaceTable,
                base.memory,        base.systemParameters,
                base.cursorScreen,  base.shell,
                base.processorLoad, base.trayMenu,
                base.mainWindow},
          wakewatch(ports) {
        wakewatch.Start();
    }

    HeldTimerLoop loop;
    ww::platform::Ports ports;
    ww::core::Wakewatch wakewatch;
};

Program* program = nullptr;

void Tick(benchmark::State& state, bool hotCorners) {
    program->wakewatch.Shared().HotCornersEnabled = hotCorners ? 1 : 0;
    for (auto _ : state) {
        program->loop.Tick();
    }
}

BENCHMARK_CAPTURE(Tick, hot_corners_off, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Tick, hot_corners_on, true)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (const auto problem = ww::platform::X11Session::CheckDisplay()) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ww::platform::LinuxPlatform platform({});
    Program running(platform.GetPorts());
    program = &running;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    program = nullptr;
    return 0;
}
