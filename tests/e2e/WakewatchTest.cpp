#include "tests/e2e/WakewatchTest.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
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
    session_ = std::make_unique<XSession>();
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
    program.argv = {WW_PROGRAM_PATH};
    program.argv.insert(program.argv.end(), args.begin(), args.end());
    program.env = env.Entries();
    program.stdoutPath = session_->Dir().Path() + "/" + name + ".stdout";
    program.stderrPath = session_->Dir().Path() + "/" + name + ".stderr";
    return programs_.emplace_back(program);
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
