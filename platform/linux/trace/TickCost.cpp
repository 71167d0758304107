#include "platform/linux/trace/TickCost.h"

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace ww::platform {

namespace {

std::string FromEnvironment() {
    const char* path = std::getenv("WAKEWATCH_TICK_COST");
    return path ? path : "";
}

}  // namespace

TickCost::TickCost() : TickCost(FromEnvironment()) {}

TickCost::TickCost(std::string path) : path_(std::move(path)) {}

TickCost::~TickCost() {
    if (Enabled()) {
        Write();
    }
}

std::int64_t TickCost::ThreadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void TickCost::Add(std::uint32_t intervalMs, std::int64_t ns) {
    Totals& totals = totals_[intervalMs];
    ++totals.runs;
    totals.totalNs += ns;
    totals.maxNs = std::max(totals.maxNs, ns);
}

bool TickCost::Write() const {
    std::ofstream out(path_, std::ios::trunc);
    for (const auto& [interval, totals] : totals_) {
        const double mean = totals.runs ? static_cast<double>(totals.totalNs) /
                                              static_cast<double>(totals.runs) / 1e3
                                        : 0.0;
        out << "timer " << interval << " ms: " << totals.runs << " runs, mean " << mean
            << " us, max " << static_cast<double>(totals.maxNs) / 1e3 << " us\n";
    }
    return static_cast<bool>(out.flush());
}

}  // namespace ww::platform
