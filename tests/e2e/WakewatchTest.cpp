#include "tests/e2e/WakewatchTest.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>

namespace ww::e2e {

namespace {

bool KeepAll() {
    const char* keep = std::getenv("WW_E2E_KEEP");
    return keep != nullptr && *keep != '\0' && std::string(keep) != "0";
}

}  // namespace

void WakewatchTest::SetUp() {
    session_ = std::make_unique<XSession>(WithTrayHost());
}

void WakewatchTest::Snapshot(const std::string& name) {
    if (KeepAll()) {
        session_->Screenshot(session_->Dir().Path() + "/" + name + ".png");
    }
}

void WakewatchTest::TearDown() {
    if (session_ && !HasFailure() && KeepAll()) {
        session_->Dir().Keep();
        std::cerr << "Kept: " << session_->Dir().Path() << "\n";
    }
    if (session_ && HasFailure()) {
        const std::string dir = session_->Dir().Path();
        session_->Screenshot(dir + "/failure.png");
        session_->Dir().Keep();
        std::cerr << "Kept for inspection: " << dir << "\n";
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == ".stderr" || entry.path().extension() == ".trace") {
                std::cerr << "--- " << entry.path().filename().string() << "\n"
                          << ReadFile(entry.path().string()) << "\n";
            }
        }
    }
    programs_.clear();
    session_.reset();
}

Process& WakewatchTest::Launch(const std::string& name, const std::vector<std::string>& args) {
    return Launch(name, session_->ProgramEnv(name), args);
}

Process& WakewatchTest::Launch(const std::string& name, const Environment& env,
                               const std::vector<std::string>& args) {
    SpawnOptions program;
    program.argv = {ProgramPath()};
    program.argv.insert(program.argv.end(), args.begin(), args.end());
    program.env = env.Entries();
    program.stdoutPath = session_->Dir().Path() + "/" + name + ".stdout";
    program.stderrPath = session_->Dir().Path() + "/" + name + ".stderr";
    return programs_.emplace_back(program);
}

std::string WakewatchTest::ProgramPath() {
    const char* installed = std::getenv("WW_E2E_PROGRAM");
    return installed != nullptr && *installed != '\0' ? installed : WW_PROGRAM_PATH;
}

std::string WakewatchTest::MachineStore() const {
    return session_->Dir().Path() + "/config-dirs/wakewatch/machine.reg";
}

std::string WakewatchTest::UserStore() const {
    return session_->Dir().Path() + "/config/wakewatch/user.reg";
}

std::string WakewatchTest::UserAutostartEntry() const {
    return session_->Dir().Path() + "/config/autostart/Wakewatch.desktop";
}

void WakewatchTest::WriteStore(const std::string& path, const std::string& body) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "Windows Registry Editor Version 5.00\n\n" << body;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

bool WakewatchTest::MoveCursor(int x, int y) {
    return session_->Xdotool({"mousemove", std::to_string(x), std::to_string(y)}) == 0;
}

bool WakewatchTest::ClickCentre(XWindow window, int button, int count) {
    const auto place = Probe().RootGeometry(window);
    if (!place || !MoveCursor(place->CentreX(), place->CentreY())) {
        return false;
    }
    // A double click needs both clicks inside the double-click interval.
    return session_->Xdotool({"click", "--repeat", std::to_string(count), "--delay", "60",
                              std::to_string(button)}) == 0;
}

bool WakewatchTest::Keys(XWindow window, const std::vector<std::string>& keys) {
    std::vector<std::string> args = {"windowfocus", "--sync",  std::to_string(window),
                                     "key",         "--delay", "100"};
    args.insert(args.end(), keys.begin(), keys.end());
    return session_->Xdotool(args) == 0;
}

XWindow WakewatchTest::MainWindowOf(pid_t pid) {
    for (XWindow window : Probe().TopLevelsOf(pid)) {
        if (Probe().Name(window) == "Wakewatch" && !Probe().OverrideRedirect(window)) {
            return window;
        }
    }
    return 0;
}

std::vector<XWindow> WakewatchTest::DockedOf(pid_t pid) {
    std::vector<XWindow> mine;
    for (XWindow client : Probe().DockedClients(Probe().TrayPanel())) {
        if (Probe().Pid(client) == pid) {
            mine.push_back(client);
        }
    }
    return mine;
}

XWindow WakewatchTest::WaitDocked(pid_t pid, std::chrono::milliseconds timeout) {
    XWindow docked = 0;
    const bool ok = WaitFor(
        [&] {
            auto clients = DockedOf(pid);
            docked = clients.empty() ? 0 : clients.front();
            return docked != 0 && Probe().Viewable(docked);
        },
        timeout);
    return ok ? docked : 0;
}

bool WakewatchTest::IsUptimeTip(const std::string& tip) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    const std::string host = std::regex_replace(HostName(), special, R"(\$&)");
    const std::regex pattern(host + R"( up for \d+ days?, \d{1,2}:\d\d:\d\d)");
    return std::regex_match(tip, pattern);
}

std::string WakewatchTest::HostName() {
    char name[HOST_NAME_MAX + 1] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

}  // namespace ww::e2e
