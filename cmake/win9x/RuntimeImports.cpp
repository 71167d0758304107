// The runtime libraries linked into wakewatch.exe (winpthreads under the
// -posix libstdc++) import a few kernel32 functions that Windows 95 and NT 4
// do not export, and the loader refuses a program with even one such import.
// Defining the import slots here means those functions are never imported:
// each slot points at a stand-in that calls the system's own function when
// GetProcAddress finds it and otherwise does the closest harmless thing.
#include <windows.h>

#include <atomic>

namespace {

// Types spelled out so that the file does not depend on _WIN32_WINNT.
using AddHandlerFn = PVOID(WINAPI*)(ULONG, PVOID);
using RemoveHandlerFn = ULONG(WINAPI*)(PVOID);
using TickCount64Fn = ULONGLONG(WINAPI*)();
using IsDebuggerPresentFn = BOOL(WINAPI*)();
using SetAffinityFn = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
using TryEnterFn = BOOL(WINAPI*)(LPCRITICAL_SECTION);
using OpenThreadFn = HANDLE(WINAPI*)(DWORD, BOOL, DWORD);

// The system's function, or null; looked up once (a race only repeats the lookup).
template <typename Fn>
Fn SystemFunction(std::atomic<Fn>& cache, std::atomic<bool>& looked, const char* name) {
    if (!looked.load(std::memory_order_acquire)) {
        HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        FARPROC proc = kernel != nullptr ? ::GetProcAddress(kernel, name) : nullptr;
        cache.store(reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc)),
                    std::memory_order_relaxed);
        looked.store(true, std::memory_order_release);
    }
    return cache.load(std::memory_order_relaxed);
}

#define WW_SYSTEM_FUNCTION(Type, name)       \
    static std::atomic<Type> cache{nullptr}; \
    static std::atomic<bool> looked{false};  \
    const Type system = SystemFunction<Type>(cache, looked, name)

PVOID WINAPI AddVectoredExceptionHandlerOrNone(ULONG first, PVOID handler) {
    WW_SYSTEM_FUNCTION(AddHandlerFn, "AddVectoredExceptionHandler");
    return system != nullptr ? system(first, handler) : nullptr;
}

ULONG WINAPI RemoveVectoredExceptionHandlerOrNone(PVOID handle) {
    WW_SYSTEM_FUNCTION(RemoveHandlerFn, "RemoveVectoredExceptionHandler");
    return system != nullptr && handle != nullptr ? system(handle) : 0;
}

// GetTickCount, widened: counts the 49.7-day wraps it sees. It is called at
// least once per wrap by anything that waits with a time-out.
ULONGLONG TickCountWidened() {
    static volatile LONG busy = 0;
    static DWORD last = 0;
    static ULONGLONG wraps = 0;
    while (::InterlockedExchange(&busy, 1) != 0) {
        ::Sleep(0);
    }
    const DWORD now = ::GetTickCount();
    if (now < last) {
        ++wraps;
    }
    last = now;
    const ULONGLONG result = (wraps << 32) | now;
    ::InterlockedExchange(&busy, 0);
    return result;
}

ULONGLONG WINAPI GetTickCount64OrWidened() {
    WW_SYSTEM_FUNCTION(TickCount64Fn, "GetTickCount64");
    return system != nullptr ? system() : TickCountWidened();
}

BOOL WINAPI IsDebuggerPresentOrNot() {
    WW_SYSTEM_FUNCTION(IsDebuggerPresentFn, "IsDebuggerPresent");
    return system != nullptr ? system() : FALSE;
}

BOOL WINAPI SetProcessAffinityMaskOrFail(HANDLE process, DWORD_PTR mask) {
    WW_SYSTEM_FUNCTION(SetAffinityFn, "SetProcessAffinityMask");
    if (system != nullptr) {
        return system(process, mask);
    }
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// Without the real one, waiting for the lock is the only way to get it.
BOOL WINAPI TryEnterCriticalSectionOrEnter(LPCRITICAL_SECTION section) {
    WW_SYSTEM_FUNCTION(TryEnterFn, "TryEnterCriticalSection");
    if (system != nullptr) {
        return system(section);
    }
    ::EnterCriticalSection(section);
    return TRUE;
}

HANDLE WINAPI OpenThreadOrFail(DWORD access, BOOL inherit, DWORD id) {
    WW_SYSTEM_FUNCTION(OpenThreadFn, "OpenThread");
    if (system != nullptr) {
        return system(access, inherit, id);
    }
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

#undef WW_SYSTEM_FUNCTION

}  // namespace

// The import slots (decorated stdcall names), filled in at link time.
extern "C" {
extern const AddHandlerFn ww_add_handler_slot __asm__("__imp__AddVectoredExceptionHandler@8");
const AddHandlerFn ww_add_handler_slot = AddVectoredExceptionHandlerOrNone;
extern const RemoveHandlerFn ww_remove_handler_slot __asm__(
    "__imp__RemoveVectoredExceptionHandler@4");
const RemoveHandlerFn ww_remove_handler_slot = RemoveVectoredExceptionHandlerOrNone;
extern const TickCount64Fn ww_tick_count_slot __asm__("__imp__GetTickCount64@0");
const TickCount64Fn ww_tick_count_slot = GetTickCount64OrWidened;
extern const IsDebuggerPresentFn ww_debugger_slot __asm__("__imp__IsDebuggerPresent@0");
const IsDebuggerPresentFn ww_debugger_slot = IsDebuggerPresentOrNot;
extern const SetAffinityFn ww_affinity_slot __asm__("__imp__SetProcessAffinityMask@8");
const SetAffinityFn ww_affinity_slot = SetProcessAffinityMaskOrFail;
extern const TryEnterFn ww_try_enter_slot __asm__("__imp__TryEnterCriticalSection@4");
const TryEnterFn ww_try_enter_slot = TryEnterCriticalSectionOrEnter;
extern const OpenThreadFn ww_open_thread_slot __asm__("__imp__OpenThread@12");
const OpenThreadFn ww_open_thread_slot = OpenThreadOrFail;
}
