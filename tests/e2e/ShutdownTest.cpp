#include <csignal>
#include <optional>
#include <sstream>

#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

std::vector<std::string> NonEmptyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

struct SignalCase {
    int signal;
    const char* name;
};

void PrintTo(const SignalCase& c, std::ostream* os) {
    *os << c.name;
}

class ShutdownOnSignal : public WakewatchTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(ShutdownOnSignal, ExitsCleanlyAndTakesItsIconAlong) {
    const SignalCase c = GetParam();
    Process& program = Launch("wakewatch");
    ASSERT_NE(WaitDocked(program.Pid()), 0u) << "the program is " << program.Describe();

    program.Signal(c.signal);
    ASSERT_TRUE(program.WaitExit(5s)) << "still running 5 s after " << c.name;
    EXPECT_TRUE(program.ExitedNormally()) << program.Describe();
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return Probe().DockedClients(Probe().TrayPanel()).empty(); }, 3s))
        << "a client is still docked after the program ended";

    const Trace trace = TraceOf("wakewatch");
    EXPECT_TRUE(trace.Has("close signal " + std::to_string(c.signal)));
    EXPECT_TRUE(trace.Has("notify delete"));
    EXPECT_TRUE(trace.Has("end"));
    const std::string err = ReadFile(program.StderrPath());
    EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
    EXPECT_EQ(err.find("runtime error"), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(Signals, ShutdownOnSignal,
                         ::testing::Values(SignalCase{SIGTERM, "SIGTERM"},
                                           SignalCase{SIGINT, "SIGINT"},
                                           SignalCase{SIGHUP, "SIGHUP"}),
                         [](const auto& test) { return std::string(test.param.name); });

struct NoDisplayCase {
    const char* name;
    std::optional<std::string> display;  // nullopt: DISPLAY unset
};

void PrintTo(const NoDisplayCase& c, std::ostream* os) {
    *os << "DISPLAY=" << c.display.value_or("(unset)");
}

class NoDisplay : public WakewatchTest, public ::testing::WithParamInterface<NoDisplayCase> {};

TEST_P(NoDisplay, ExitsWithOneLineSayingSo) {
    const NoDisplayCase c = GetParam();
    Environment env = X().ProgramEnv("wakewatch");
    if (c.display) {
        env.Set("DISPLAY", *c.display);
    } else {
        env.Unset("DISPLAY");
    }
    Process& program = Launch("wakewatch", env);
    ASSERT_TRUE(program.WaitExit(10s)) << "still running without a display";
    EXPECT_TRUE(program.ExitedNormally()) << program.Describe();
    EXPECT_NE(program.ExitCode(), 0);

    const std::string err = ReadFile(program.StderrPath());
    const auto lines = NonEmptyLines(err);
    ASSERT_EQ(lines.size(), 1u) << err;
    std::string lower = lines[0];
    for (auto& ch : lower) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    EXPECT_NE(lower.find("display"), std::string::npos) << lines[0];
    EXPECT_EQ(err.find("Segmentation"), std::string::npos);
    EXPECT_EQ(err.find("Aborted"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Displays, NoDisplay,
                         ::testing::Values(NoDisplayCase{"Unset", std::nullopt},
                                           NoDisplayCase{"Unreachable", ":65000"}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace ww::e2e
