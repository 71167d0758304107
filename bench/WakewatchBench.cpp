// Measures what Wakewatch costs on a desktop, on a private X server with a
// tray host: start-up to docked icon, idle CPU against conky showing the same
// facts at the same interval and beside two floors (a bare Qt tray icon, a
// loop that only wakes), CPU per tick, and private memory over time. Prints
// figures with their targets; it never fails on a figure. The helper programs
// are looked for beside this one.
//
//   wakewatch_bench <wakewatch> [--seconds N] [--rounds N] [--memory-minutes N] [--launches N]
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/Process.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/XSession.h"

namespace ww::bench {
namespace {

using namespace ww::e2e;
using Clock = std::chrono::steady_clock;

constexpr double kTickSeconds = 0.4;

// Ctrl+C or a TERM ends the run at the next pause; unwinding then stops every
// program, the tray host and the X server this benchmark started.
volatile std::sig_atomic_t interrupted = 0;
struct Interrupted {};

void OnSignal(int) {
    interrupted = 1;
}

void PauseUntil(Clock::time_point until) {
    while (Clock::now() < until) {
        if (interrupted) {
            throw Interrupted{};
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(100ms, until - Clock::now()));
    }
}

void Pause(Clock::duration length) {
    PauseUntil(Clock::now() + length);
}

struct Options {
    std::string program;
    std::string helpers;  // the directory of the bench's own programs
    int seconds = 60;
    int rounds = 2;
    int memoryMinutes = 10;
    int launches = 10;
};

// CPU time of every thread of pid, in seconds (scheduler nanoseconds).
double CpuSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
            unsigned long long ns = 0;
            if (in >> ns) {
                total += static_cast<double>(ns) / 1e9;
            }
        }
        closedir(dir);
    }
    return total;
}

// Fields of /proc/pid/smaps_rollup in kB.
std::map<std::string, long> MemoryKb(pid_t pid) {
    std::map<std::string, long> fields;
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name;
        long kb = 0;
        if (words >> name >> kb && name.back() == ':') {
            fields[name.substr(0, name.size() - 1)] = kb;
        }
    }
    return fields;
}

class Bench {
  public:
    explicit Bench(Options options) : options_(std::move(options)) {}

    void Run() {
        std::printf("Wakewatch benchmark: %s, %u processors\n", options_.program.c_str(),
                    std::thread::hardware_concurrency());
        StartUp();
        IdleCpu();
        WarmTick();
        TickInstructions();
        Memory();
    }

  private:
    Process Launch(const std::string& name, const std::vector<std::string>& argv,
                   const Environment& env) {
        SpawnOptions spawn;
        spawn.argv = argv;
        spawn.env = env.Entries();
        spawn.stderrPath = session_.Dir().Path() + "/" + name + ".stderr";
        return Process(spawn);
    }

    // With tickCost, the program times its timer handlers into that file.
    Process LaunchWakewatch(const std::string& name, const std::string& tickCost = "") {
        Environment env = session_.ProgramEnv(name);
        env.Unset("WAKEWATCH_TRACE");  // measure the program as users run it
        if (!tickCost.empty()) {
            env.Set("WAKEWATCH_TICK_COST", tickCost);
        }
        return Launch(name, {options_.program}, env);
    }

    XWindow Docked(pid_t pid) {
        XProbe& probe = session_.Probe();
        for (XWindow client : probe.DockedClients(probe.TrayPanel())) {
            if (probe.Pid(client) == pid && probe.Viewable(client)) {
                return client;
            }
        }
        return 0;
    }

    void StartUp() {
        std::vector<double> ms;
        for (int i = 0; i < options_.launches; ++i) {
            const auto start = Clock::now();
            Process program = LaunchWakewatch("startup");
            if (!WaitFor([&] { return Docked(program.Pid()) != 0; }, 10s, 1ms)) {
                std::printf("start-up: the icon did not dock within 10 s\n");
                return;
            }
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            program.Stop();
        }
        std::sort(ms.begin(), ms.end());
        std::printf(
            "start-up to icon docked: median %.0f ms, worst %.0f ms over %zu starts "
            "(target: at most 100 ms)\n",
            ms[ms.size() / 2], ms.back(), ms.size());
    }

    std::string ConkyConfig() {
        const std::string path = session_.Dir().Path() + "/conky.conf";
        std::ofstream out(path);
        out << "conky.config = {\n"
               "  update_interval = 0.4, out_to_x = true, out_to_console = false,\n"
               "  own_window = true, own_window_type = 'normal', double_buffer = true,\n"
               "  background = false, use_xft = false, cpu_avg_samples = 1,\n"
               "  net_avg_samples = 1, alignment = 'top_left',\n"
               "}\n"
               "conky.text = [[${nodename} up for ${uptime}\n";
        for (unsigned cpu = 1; cpu <= std::thread::hardware_concurrency(); ++cpu) {
            out << "${cpu cpu" << cpu << "}% ";
        }
        out << "\n${mem}\n${downspeedf lo} ${upspeedf lo}\n]]\n";
        return path;
    }

    // CPU seconds each process uses over one measuring time, after they
    // settled; negative for one that ended before the time was up. Measured
    // side by side, the figures share whatever else the machine does then.
    std::vector<double> Measure(const std::vector<Process*>& processes) {
        Pause(3s);
        std::vector<double> before;
        for (Process* process : processes) {
            before.push_back(CpuSeconds(process->Pid()));
        }
        Pause(std::chrono::seconds(options_.seconds));
        std::vector<double> used;
        for (std::size_t i = 0; i < processes.size(); ++i) {
            const double seconds = CpuSeconds(processes[i]->Pid()) - before[i];
            used.push_back(processes[i]->Running() ? seconds : -1);
        }
        for (Process* process : processes) {
            process->Stop();
        }
        return used;
    }

    double Measure(Process& process) { return Measure(std::vector<Process*>{&process})[0]; }

    // One idle figure: CPU seconds summed over the rounds, and whether every
    // round measured the program (it may fail to start or end early).
    struct Idle {
        double seconds = 0;
        bool measured = true;

        void Add(double used) {
            measured = measured && used >= 0;
            seconds += used;
        }
    };

    // Starts a program beside Wakewatch; nothing when it cannot start.
    std::unique_ptr<Process> LaunchFloor(const std::string& name, const std::string& program) {
        try {
            return std::make_unique<Process>(
                Launch(name, {options_.helpers + "/" + program}, session_.ProgramEnv(name)));
        } catch (const std::exception& error) {
            std::printf("%s could not start: %s\n", name.c_str(), error.what());
            return nullptr;
        }
    }

    void IdleCpu() {
        const std::string conky = ConkyConfig();
        Idle wakewatch;
        Idle peer;
        Idle bareTray;
        Idle sleepLoop;
        const std::string tickCost = session_.Dir().Path() + "/tick-cost";
        std::string tickLines;
        for (int round = 0; round < options_.rounds; ++round) {
            // Wakewatch and the two floors side by side, then conky alone.
            Process program = LaunchWakewatch("idle", tickCost);
            if (!WaitFor([&] { return Docked(program.Pid()) != 0; }, 10s)) {
                std::printf("idle CPU: the icon did not dock\n");
                return;
            }
            std::vector<Process*> measured{&program};
            std::unique_ptr<Process> tray = LaunchFloor("bare-tray", "wakewatch_bare_tray");
            std::unique_ptr<Process> loop = LaunchFloor("sleep-loop", "wakewatch_sleep_loop");
            for (Process* floor : {tray.get(), loop.get()}) {
                if (floor != nullptr) {
                    measured.push_back(floor);
                }
            }
            const std::vector<double> used = Measure(measured);
            wakewatch.Add(used[0]);
            bareTray.Add(tray ? used[1] : -1);
            sleepLoop.Add(loop ? used.back() : -1);
            std::ifstream costs(tickCost);
            for (std::string line; std::getline(costs, line);) {
                tickLines += "  round " + std::to_string(round + 1) + ", " + line + "\n";
            }
            try {
                Process other =
                    Launch("conky", {"conky", "-c", conky}, session_.ProgramEnv("conky"));
                peer.Add(Measure(other));
            } catch (const std::exception& error) {
                std::printf("conky could not start: %s\n", error.what());
                peer.Add(-1);
            }
        }
        const double seconds = static_cast<double>(options_.seconds) * options_.rounds;
        const double ticks = seconds / kTickSeconds;
        const auto percent = [&](const Idle& idle) { return 100.0 * idle.seconds / seconds; };
        const auto perTick = [&](const Idle& idle) { return 1e6 * idle.seconds / ticks; };
        if (!wakewatch.measured) {
            std::printf("idle CPU, Wakewatch: not measured, the program ended early\n");
            return;
        }
        std::printf(
            "idle CPU, Wakewatch: %.4f s in %.0f s = %.4f %% of one core, %.0f us per tick "
            "(target: at most 0.05 %%)\n",
            wakewatch.seconds, seconds, percent(wakewatch), perTick(wakewatch));
        if (peer.measured && peer.seconds > 0) {
            std::printf("idle CPU, conky (same facts, 0.4 s): %.4f s = %.4f %% of one core\n",
                        peer.seconds, percent(peer));
            std::printf("ratio Wakewatch / conky: %.2f (target: at most 1)\n",
                        wakewatch.seconds / peer.seconds);
        } else {
            std::printf("idle CPU, conky: not measured (is conky-std installed?)\n");
        }
        // What waking every 400 ms costs on this machine before any work,
        // measured beside Wakewatch: its figure less the bare tray's is what
        // its own code adds.
        if (sleepLoop.measured) {
            std::printf(
                "idle CPU, floor: a loop that only wakes every 400 ms and reads "
                "/proc/net/dev: %.4f %%, %.0f us per wake\n",
                percent(sleepLoop), perTick(sleepLoop));
        }
        if (bareTray.measured) {
            std::printf(
                "idle CPU, floor: a bare Qt tray icon with an empty 400 ms timer: %.4f %%, "
                "%.0f us per wake\n",
                percent(bareTray), perTick(bareTray));
            std::printf(
                "idle CPU, Wakewatch above the bare Qt tray icon: %+.4f %%, %+.0f us per tick\n",
                percent(wakewatch) - percent(bareTray), perTick(wakewatch) - perTick(bareTray));
        }
        std::printf(
            "one tick in place, the timer handler's CPU time after 400 ms asleep "
            "(caches cold; the target applies to the warm figure):\n%s",
            tickLines.empty() ? "  not reported\n" : tickLines.c_str());
    }

    // One tick run back to back with the real Linux ports, under Google
    // Benchmark: the handler's own cost, without the machine's wake-up.
    void WarmTick() {
        const std::string out = session_.Dir().Path() + "/tick-benchmark.csv";
        int status = -1;
        try {
            Environment env = session_.ProgramEnv("tick-benchmark");
            env.Unset("WAKEWATCH_TRACE");
            SpawnOptions spawn;
            spawn.argv = {options_.helpers + "/wakewatch_tick_benchmark", "--benchmark_out=" + out,
                          "--benchmark_out_format=csv", "--benchmark_min_time=2"};
            spawn.env = env.Entries();
            spawn.stdoutPath = session_.Dir().Path() + "/tick-benchmark.stdout";
            spawn.stderrPath = session_.Dir().Path() + "/tick-benchmark.stderr";
            status = RunToEnd(spawn, 120s);
        } catch (const std::exception&) {
        }
        std::ifstream rows(out);
        bool any = false;
        for (std::string line; std::getline(rows, line);) {
            // "name",iterations,real_time,cpu_time,time_unit,...
            if (line.empty() || line[0] != '"') {
                continue;
            }
            std::vector<std::string> fields;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, ',');) {
                fields.push_back(cell);
            }
            if (fields.size() < 5) {
                continue;
            }
            std::printf(
                "one tick, warm (Google Benchmark, real ports), %s: %.1f us CPU, %.1f us "
                "elapsed, %s runs (target: at most 50 us CPU)\n",
                fields[0].c_str(), std::atof(fields[3].c_str()), std::atof(fields[2].c_str()),
                fields[1].c_str());
            any = true;
        }
        if (!any) {
            std::printf("one tick, warm: not measured (exit %d; is libbenchmark-dev installed?)\n",
                        status);
        }
    }

    // The tick's instruction count under callgrind: unlike time, the same on
    // a busy machine and an idle one.
    void TickInstructions() {
        const std::string dir = session_.Dir().Path();
        Environment env = session_.ProgramEnv("callgrind");
        env.Unset("WAKEWATCH_TRACE");
        env.Set("WAKEWATCH_TICK_COST", dir + "/callgrind-ticks");
        std::unique_ptr<Process> program;
        try {
            program = std::make_unique<Process>(
                Launch("callgrind",
                       {"valgrind", "--tool=callgrind", "--callgrind-out-file=" + dir + "/cg.out",
                        "--toggle-collect=*timUpdate_Timer*", options_.program},
                       env));
        } catch (const std::exception&) {
            std::printf("one tick under callgrind: not measured (is valgrind installed?)\n");
            return;
        }
        Pause(20s);
        program->Stop(10s);
        long long instructions = -1;
        std::ifstream profile(dir + "/cg.out");
        for (std::string line; std::getline(profile, line);) {
            if (line.rfind("summary: ", 0) == 0 || line.rfind("totals: ", 0) == 0) {
                instructions = std::atoll(line.c_str() + line.find(' ') + 1);
            }
        }
        long long runs = 0;
        std::ifstream ticks(dir + "/callgrind-ticks");
        for (std::string line; std::getline(ticks, line);) {
            if (line.rfind("timer 400 ms: ", 0) == 0) {
                runs = std::atoll(line.c_str() + 14);
            }
        }
        if (instructions < 0 || runs == 0) {
            std::printf("one tick under callgrind: no profile\n");
            return;
        }
        std::printf("one tick under callgrind: %lld instructions, mean of %lld ticks\n",
                    instructions / runs, runs);
    }

    void PrintMemory(const char* when, pid_t pid) {
        auto kb = MemoryKb(pid);
        std::printf(
            "memory %s: private dirty %ld kB, anonymous %ld kB, RSS %ld kB "
            "(target: private at most 4096 kB)\n",
            when, kb["Private_Dirty"], kb["Anonymous"], kb["Rss"]);
    }

    void Memory() {
        Process program = LaunchWakewatch("memory");
        if (!WaitFor([&] { return Docked(program.Pid()) != 0; }, 10s)) {
            std::printf("memory: the icon did not dock\n");
            return;
        }
        const auto start = Clock::now();
        Pause(60s);
        PrintMemory("after 1 minute", program.Pid());

        // The main window opened (double-click) and closed again (Escape: Cancel).
        const XWindow icon = Docked(program.Pid());
        const auto place = session_.Probe().RootGeometry(icon);
        if (place) {
            session_.Xdotool({"mousemove", std::to_string(place->CentreX()),
                              std::to_string(place->CentreY()), "click", "--repeat", "2", "--delay",
                              "60", "1"});
        }
        XWindow window = 0;
        const bool opened = WaitFor(
            [&] {
                for (XWindow w : session_.Probe().TopLevelsOf(program.Pid())) {
                    if (session_.Probe().Name(w) == "Wakewatch" &&
                        !session_.Probe().OverrideRedirect(w)) {
                        window = w;
                        return true;
                    }
                }
                return false;
            },
            10s);
        if (opened) {
            Pause(3s);
            PrintMemory("with the main window open", program.Pid());
            session_.Xdotool({"windowfocus", "--sync", std::to_string(window), "key", "Escape"});
            WaitFor([&] { return session_.Probe().TopLevelsOf(program.Pid()).empty(); }, 10s);
        } else {
            std::printf("memory: the main window did not open\n");
        }
        PauseUntil(start + std::chrono::minutes(options_.memoryMinutes));
        PrintMemory(("after " + std::to_string(options_.memoryMinutes) + " minutes").c_str(),
                    program.Pid());
        program.Stop();
    }

    Options options_;
    XSession session_;
};

}  // namespace
}  // namespace ww::bench

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
    ww::bench::Options options;
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s <wakewatch> [--seconds N] [--rounds N] [--memory-minutes N] "
                     "[--launches N]\n",
                     argv[0]);
        return 2;
    }
    options.program = argv[1];
    {
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        options.helpers = self.substr(0, self.rfind('/'));
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--seconds") {
            options.seconds = value;
        } else if (name == "--rounds") {
            options.rounds = value;
        } else if (name == "--memory-minutes") {
            options.memoryMinutes = value;
        } else if (name == "--launches") {
            options.launches = value;
        }
    }
    std::signal(SIGINT, ww::bench::OnSignal);
    std::signal(SIGTERM, ww::bench::OnSignal);
    try {
        ww::bench::Bench(options).Run();
    } catch (const ww::bench::Interrupted&) {
        std::fprintf(stderr, "benchmark interrupted\n");
        return 130;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    return 0;
}
