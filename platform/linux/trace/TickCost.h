#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ww::platform {

// The CPU time the timers' handlers take, for the benchmark: with
// WAKEWATCH_TICK_COST=<file> each run is timed on the thread's CPU clock and
// the file gets one line per timer interval when the program ends:
//   timer 400 ms: <runs> runs, mean <us> us, max <us> us
// Without the variable nothing is timed.
class TickCost {
  public:
    TickCost();  // reads WAKEWATCH_TICK_COST
    explicit TickCost(std::string path);
    ~TickCost();
    TickCost(const TickCost&) = delete;
    TickCost& operator=(const TickCost&) = delete;

    bool Enabled() const { return !path_.empty(); }
    // The thread's CPU time now, in nanoseconds.
    static std::int64_t ThreadCpuNs();
    void Add(std::uint32_t intervalMs, std::int64_t ns);
    // Writes the summary (also done on destruction); false when it could not.
    bool Write() const;

  private:
    struct Totals {
        std::int64_t runs = 0;
        std::int64_t totalNs = 0;
        std::int64_t maxNs = 0;
    };
    std::string path_;
    std::map<std::uint32_t, Totals> totals_;
};

}  // namespace ww::platform
