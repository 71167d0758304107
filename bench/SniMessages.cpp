// Counts the D-Bus messages Wakewatch's StatusNotifierItem sends while idle,
// per minute, to a host of our own that reads the tooltip after every
// NewToolTip and the picture after every NewIcon, as hosts do. Watched with
// dbus-monitor on a private bus; no XEmbed tray, so the item is the icon.
//
//   wakewatch_sni_messages <wakewatch> <wakewatch_sni_host> [seconds]
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "tests/e2e/Process.h"
#include "tests/e2e/SniBus.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/XSession.h"

using namespace ww::e2e;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: wakewatch_sni_messages <wakewatch> <wakewatch_sni_host> [seconds]\n";
        return 2;
    }
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    XSession x(false);
    SniBus bus(x.Dir().Path(), argv[2]);
    bus.StartHost();

    SpawnOptions program;
    program.argv = {argv[1]};
    program.env = bus.With(x.ProgramEnv("wakewatch")).Entries();
    program.stderrPath = x.Dir().Path() + "/wakewatch.stderr";
    Process wakewatch(program);

    std::string sender;
    const bool up = WaitFor(
        [&] {
            const auto props = bus.HostLog().All("item props ");
            const auto registered = bus.HostLog().All("item registered ");
            if (props.empty() || registered.empty()) {
                return false;
            }
            sender = registered.back().Field("sender");
            return true;
        },
        15s);
    if (!up) {
        std::cerr << "the item never appeared in the host\n";
        return 1;
    }
    // Past start-up: the first tooltips and the picture settle.
    std::this_thread::sleep_for(3s);

    SpawnOptions monitor;
    monitor.argv = {"dbus-monitor", "--address", bus.Address(), "sender='" + sender + "'"};
    monitor.env = Environment::Clean().Entries();
    monitor.stdoutPath = x.Dir().Path() + "/monitor.out";
    Process watching(monitor);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    watching.Stop();

    std::map<std::string, int> kinds;
    int total = 0;
    std::istringstream lines(ReadFile(monitor.stdoutPath));
    for (std::string line; std::getline(lines, line);) {
        // dbus-monitor's own NameAcquired and NameLost come from the bus.
        if (line.find(" sender=" + sender + " ") == std::string::npos) {
            continue;
        }
        for (const char* kind : {"signal ", "method call ", "method return ", "error "}) {
            if (line.starts_with(kind)) {
                ++total;
                const auto member = line.find("member=");
                kinds[std::string(kind) +
                      (member != std::string::npos ? line.substr(member + 7) : std::string())]++;
            }
        }
    }
    const double perMinute = total * 60.0 / seconds;
    std::printf("StatusNotifierItem bus messages sent while idle: %.0f per minute (%d in %d s)\n",
                perMinute, total, seconds);
    for (const auto& [kind, count] : kinds) {
        std::printf("  %-40s %d\n", kind.c_str(), count);
    }
    return 0;
}
