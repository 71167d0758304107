#include "platform/linux/x11/SaverRescue.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace ww::platform {
namespace {

// The two requests on the wire, in the connection's (native) byte order.
struct Requests {
    xcb_set_screen_saver_request_t saver;
    std::uint8_t saverPad[2];
    xcb_delete_property_request_t erase;
    // Answered once the server has carried out the two before it.
    xcb_get_input_focus_request_t roundTrip;
};
static_assert(sizeof(Requests) == 28);

// What the handlers may touch: plain data, published by the armed flag.
Requests g_requests{};
volatile sig_atomic_t g_fd = -1;
volatile sig_atomic_t g_armed = 0;
XIOErrorHandler g_previousIoHandler = nullptr;
bool g_atExitInstalled = false;

#if !defined(__SANITIZE_ADDRESS__)
// A crash from running out of stack has none left for the handler.
alignas(16) char g_signalStack[64 * 1024];
#endif

void AtExit() {
    SaverRescue::Fire();
}

int OnIoError(Display* display) {
    SaverRescue::Fire();
    // The previous handler (Qt's, or Xlib's own) says why and ends the process.
    if (g_previousIoHandler != nullptr) {
        return g_previousIoHandler(display);
    }
    std::_Exit(1);
}

// Reads what the server sends until a reply comes or a second has passed.
// Async-signal-safe: poll and read only.
void AwaitReply(int fd) {
    constexpr int kPatienceMs = 1000;
    constexpr std::size_t kUnit = 32;  // every event, error and short reply
    char buffer[kUnit * 16];
    std::size_t offset = 0;  // into the current 32-byte unit
    for (int waited = 0; waited < kPatienceMs;) {
        pollfd watch{fd, POLLIN, 0};
        const int ready = ::poll(&watch, 1, 50);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (ready <= 0) {
            waited += 50;
            continue;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        for (ssize_t i = 0; i < n; ++i, offset = (offset + 1) % kUnit) {
            if (offset == 0 && buffer[i] == 1) {
                return;  // a reply: ours, the only request that has one
            }
        }
    }
}

}  // namespace

SaverRescue::SaverRescue(const char* displayName, unsigned long root, unsigned long recordAtom)
    : displayName_(displayName), root_(root), recordAtom_(recordAtom) {
    if (!g_atExitInstalled) {
        std::atexit(&AtExit);
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer ends a crashed process itself, past atexit.
        __sanitizer_set_death_callback(&AtExit);
#endif
        g_atExitInstalled = true;
    }
    g_previousIoHandler = XSetIOErrorHandler(&OnIoError);
    struct sigaction action {};
    action.sa_handler = &SaverRescue::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
#if !defined(__SANITIZE_ADDRESS__)
    stack_t stack{};
    stack.ss_sp = g_signalStack;
    stack.ss_size = sizeof g_signalStack;
    if (sigaltstack(&stack, nullptr) == 0) {
        action.sa_flags = SA_ONSTACK;
    }
#endif
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &action, &previous_[i]);
    }
}

SaverRescue::~SaverRescue() {
    Disarm();
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &previous_[i], nullptr);
    }
    XSetIOErrorHandler(g_previousIoHandler);
    g_previousIoHandler = nullptr;
    g_fd = -1;
    if (spare_ != nullptr) {
        xcb_disconnect(spare_);
    }
}

bool SaverRescue::Arm(int timeout, int interval, int preferBlanking, int allowExposures) {
    g_armed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (spare_ == nullptr) {
        spare_ = xcb_connect(displayName_, nullptr);
        if (xcb_connection_has_error(spare_) != 0) {
            xcb_disconnect(spare_);
            spare_ = nullptr;
            return false;
        }
        g_fd = xcb_get_file_descriptor(spare_);
    }
    // Nothing is asked on this connection, so only events every client gets
    // (MappingNotify) arrive; drop them so that they never fill the socket.
    char discard[4096];
    while (recv(g_fd, discard, sizeof discard, MSG_DONTWAIT) > 0) {
    }

    Requests requests{};
    requests.saver.major_opcode = XCB_SET_SCREEN_SAVER;
    requests.saver.length =
        static_cast<std::uint16_t>((sizeof requests.saver + sizeof requests.saverPad) / 4);
    requests.saver.timeout = static_cast<std::int16_t>(timeout);
    requests.saver.interval = static_cast<std::int16_t>(interval);
    requests.saver.prefer_blanking = static_cast<std::uint8_t>(preferBlanking);
    requests.saver.allow_exposures = static_cast<std::uint8_t>(allowExposures);
    requests.erase.major_opcode = XCB_DELETE_PROPERTY;
    requests.erase.length = static_cast<std::uint16_t>(sizeof requests.erase / 4);
    requests.erase.window = static_cast<xcb_window_t>(root_);
    requests.erase.property = static_cast<xcb_atom_t>(recordAtom_);
    requests.roundTrip.major_opcode = XCB_GET_INPUT_FOCUS;
    requests.roundTrip.length = static_cast<std::uint16_t>(sizeof requests.roundTrip / 4);
    g_requests = requests;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_armed = 1;
    return true;
}

void SaverRescue::Disarm() {
    g_armed = 0;
}

void SaverRescue::Fire() {
    if (g_armed == 0 || g_fd < 0) {
        return;
    }
    g_armed = 0;
    const int saved = errno;
    const auto* bytes = reinterpret_cast<const char*>(&g_requests);
    std::size_t sent = 0;
    while (sent < sizeof g_requests) {
        const ssize_t n = ::write(g_fd, bytes + sent, sizeof g_requests - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            break;  // the socket does not block: a full one is given up
        }
    }
    // A connection that closes with something unread (an event every client
    // gets) is reset, and the server may drop what it had not yet read from
    // it: so wait, briefly, for the answer to the last request, which comes
    // once the server has done the others.
    if (sent == sizeof g_requests) {
        AwaitReply(g_fd);
    }
    errno = saved;
}

// Puts the default back and raises the signal again, so that the process
// still ends as the signal says (with its core dump). A crash raised by the
// faulting instruction itself comes back when the handler returns, now with
// the default action.
void SaverRescue::OnSignal(int signal) {
    Fire();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace ww::platform
