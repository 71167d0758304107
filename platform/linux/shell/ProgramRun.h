#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace ww::platform {

// How a started program fared within the time it was given.
struct ProgramOutcome {
    enum class State { NotStarted, Exited, Killed, Running };
    State state = State::NotStarted;
    int exitCode = 0;  // Exited
    int error = 0;     // NotStarted: errno
};

// Starts `program` (a path) with `arguments`, its input from /dev/null, in a
// session of its own, and waits at most `wait` for it to end. A program still
// running then is left to run on its own: it is never killed and never
// becomes a zombie of this process.
ProgramOutcome RunForAnswer(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::milliseconds wait);

}  // namespace ww::platform
