#include "platform/sim/SimClock.h"

namespace ww::platform {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LocalTime CivilFromMs(std::int64_t ms) {
    std::int64_t days = ms / kMsPerDay;
    std::int64_t rest = ms % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    const std::int64_t seconds = rest / 1000;
    return LocalTime{static_cast<int>(y),
                     static_cast<int>(m),
                     static_cast<int>(d),
                     static_cast<int>(seconds / 3600),
                     static_cast<int>(seconds / 60 % 60),
                     static_cast<int>(seconds % 60)};
}

}  // namespace

SimClock::SimClock(SimLog& log, SimEventLoop& loop) : log_(log), loop_(loop) {
    SetLocalTime(LocalTime{2026, 1, 27, 9, 0, 0});
}

bool SimClock::QueryPerformanceCounter(std::int64_t& count) {
    log_.Add("QueryPerformanceCounter");
    if (!counterAvailable_) {
        return false;
    }
    count = counter_;
    return true;
}

bool SimClock::QueryPerformanceFrequency(std::int64_t& frequency) {
    log_.Add("QueryPerformanceFrequency");
    frequency = counterAvailable_ ? frequency_ : 0;
    return counterAvailable_;
}

std::uint32_t SimClock::GetTickCount() {
    log_.Add("GetTickCount");
    return ticks_;
}

LocalTime SimClock::Now() {
    log_.Add("Now");
    return CurrentLocalTime();
}

void SimClock::AdvanceMs(std::uint64_t ms) {
    loop_.RunUntil(elapsedMs_ + ms, [this](std::uint64_t moment) { MoveTo(moment); });
}

void SimClock::SetCounter(std::int64_t count) {
    counter_ = count;
    counterRemainder_ = 0;
}

void SimClock::SetFrequency(std::int64_t frequency) {
    frequency_ = frequency;
    counterRemainder_ = 0;
}

void SimClock::SetLocalTime(const LocalTime& time) {
    localMs_ = DaysFromCivil(time.year, time.month, time.day) * kMsPerDay +
               ((time.hour * 60LL + time.minute) * 60LL + time.second) * 1000LL;
}

void SimClock::SetUptimeMs(std::uint64_t ms) {
    const auto whole = static_cast<std::int64_t>(ms);
    counter_ = whole / 1000 * frequency_ + whole % 1000 * frequency_ / 1000;
    counterRemainder_ = 0;
    ticks_ = static_cast<std::uint32_t>(ms);
}

LocalTime SimClock::CurrentLocalTime() const {
    return CivilFromMs(localMs_);
}

void SimClock::MoveTo(std::uint64_t elapsedMs) {
    if (elapsedMs <= elapsedMs_) {
        return;  // a nested advance already went further
    }
    const std::uint64_t delta = elapsedMs - elapsedMs_;
    elapsedMs_ = elapsedMs;
    const auto ms = static_cast<std::int64_t>(delta);
    // Whole seconds first, so long advances at high frequencies cannot overflow.
    const std::int64_t scaled = ms % 1000 * frequency_ + counterRemainder_;
    counter_ += ms / 1000 * frequency_ + scaled / 1000;
    counterRemainder_ = scaled % 1000;
    ticks_ += static_cast<std::uint32_t>(delta);
    localMs_ += ms;
}

}  // namespace ww::platform
