#include "platform/linux/SignalBridge.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace ww::platform {
namespace {

// The handler's only way out; async-signal-safe to read.
volatile sig_atomic_t g_writeFd = -1;

}  // namespace

SignalBridge::SignalBridge(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    g_writeFd = writeFd_;
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { ReadPending(); });

    struct sigaction action {};
    action.sa_handler = &SignalBridge::Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &action, &previous_[i]);
    }
}

SignalBridge::~SignalBridge() {
    if (writeFd_ < 0) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &previous_[i], nullptr);
    }
    g_writeFd = -1;
    notifier_.reset();
    ::close(readFd_);
    ::close(writeFd_);
}

void SignalBridge::Handler(int signal) {
    const int saved = errno;
    const auto number = static_cast<unsigned char>(signal);
    if (g_writeFd >= 0) {
        // A full pipe drops the byte: the signals already in it do the same job.
        [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &number, 1);
    }
    errno = saved;
}

void SignalBridge::ReadPending() {
    unsigned char numbers[16];
    for (;;) {
        const ssize_t n = ::read(readFd_, numbers, sizeof numbers);
        if (n <= 0) {
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (onSignal_) {
                onSignal_(numbers[i]);
            }
        }
    }
}

}  // namespace ww::platform
