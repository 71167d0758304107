#pragma once

#include <signal.h>

#include <array>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace ww::platform {

// Brings SIGTERM, SIGINT and SIGHUP to the UI thread: the handler only writes
// the signal number to a pipe, whose reading end sits on a QSocketNotifier.
// One instance at a time; the previous handlers come back when it goes.
class SignalBridge {
  public:
    explicit SignalBridge(std::function<void(int signal)> onSignal);
    ~SignalBridge();
    SignalBridge(const SignalBridge&) = delete;
    SignalBridge& operator=(const SignalBridge&) = delete;

    static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

  private:
    static void Handler(int signal);
    void ReadPending();

    std::function<void(int)> onSignal_;
    int readFd_ = -1;
    int writeFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace ww::platform
