#include "platform/win32/Win32ProcessorLoad.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

constexpr const char* kProcessorObject = "238";
constexpr const char* kStartKey = "PerfStats\\StartStat";
constexpr const char* kDataKey = "PerfStats\\StatData";
constexpr const char* kStopKey = "PerfStats\\StopStat";
constexpr const char* kCpuUsage = "KERNEL\\CPUUsage";

std::int32_t QueryPerformanceData(std::uint8_t* buffer, std::uint32_t& size) {
    DWORD type = 0;
    DWORD length = size;
    const LONG result = ::RegQueryValueExA(HKEY_PERFORMANCE_DATA, kProcessorObject, nullptr, &type,
                                           buffer, &length);
    size = length;
    return result;
}

// Reading the usage value is what starts, samples or stops the statistic.
std::int32_t ReadUsage(HKEY key) {
    DWORD type = REG_DWORD;
    DWORD usage = 0;
    DWORD size = sizeof usage;
    if (::RegQueryValueExA(key, kCpuUsage, nullptr, &type, reinterpret_cast<BYTE*>(&usage),
                           &size) != ERROR_SUCCESS) {
        return 0;
    }
    return static_cast<std::int32_t>(usage);
}

// Opens `path` under HKEY_DYN_DATA, reads the usage once and closes it.
bool TouchStatistic(const char* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_DYN_DATA, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    ReadUsage(key);
    ::RegCloseKey(key);
    return true;
}

}  // namespace

Win32ProcessorLoad::Win32ProcessorLoad() : perfData_(QueryPerformanceData) {}

Win32ProcessorLoad::~Win32ProcessorLoad() {
    CloseStatisticData();
}

std::uint32_t Win32ProcessorLoad::GetNumberOfProcessors() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

std::int32_t Win32ProcessorLoad::QueryProcessorSample(ProcessorSample& sample) {
    const std::int32_t result = perfData_.Sample(sample);
    ::RegCloseKey(HKEY_PERFORMANCE_DATA);
    if (result == 0) {
        // The time since the start, in milliseconds: GetTickCount64 where the
        // system has it (Vista on); the 32-bit count before it wraps after 49 days.
        using TickCount64 = ULONGLONG(WINAPI*)();
        static const auto tickCount64 =
            LookUp<TickCount64>(::GetModuleHandleA("kernel32.dll"), "GetTickCount64");
        const std::uint64_t since =
            (tickCount64 != nullptr ? tickCount64() : ::GetTickCount()) * 10'000ULL;
        sample.bootTime = since < sample.sampleTime ? sample.sampleTime - since : 0;
    }
    return result;
}

bool Win32ProcessorLoad::StartStatistic() {
    return TouchStatistic(kStartKey);
}

bool Win32ProcessorLoad::OpenStatisticData() {
    CloseStatisticData();
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_DYN_DATA, kDataKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    statisticKey_ = FromWin(key);
    return true;
}

std::int32_t Win32ProcessorLoad::ReadStatistic() {
    return statisticKey_ == 0 ? 0 : ReadUsage(ToWin<HKEY>(statisticKey_));
}

void Win32ProcessorLoad::CloseStatisticData() {
    if (statisticKey_ != 0) {
        ::RegCloseKey(ToWin<HKEY>(statisticKey_));
        statisticKey_ = 0;
    }
}

bool Win32ProcessorLoad::StopStatistic() {
    return TouchStatistic(kStopKey);
}

}  // namespace ww::platform
