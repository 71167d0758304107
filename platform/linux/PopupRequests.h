#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace ww::platform {

// The menu entry's "Open the Main Window" starts `wakewatch -POPUP`, mostly
// while Wakewatch already runs. Rather than the second instance's refusal
// box, the running instance is asked to show its window, over an abstract
// Unix socket named after the user and the instance lock, so it reaches the
// instance that refuses this one. Both ends check the other's user id: the
// abstract namespace is shared by every user of the machine.
std::string PopupAddress(uid_t uid, const std::string& lockFile);

// The asking side: true when the running instance answered that it showed
// its window within `timeout`; false when none listens or it did not answer,
// and the normal start (with its refusal box) goes on.
bool AskRunningInstanceForItsWindow(const std::string& address, std::chrono::milliseconds timeout);

// The listening side, on the Qt event loop: `onRequest` runs for each well-
// formed request from a process of our own user.
class PopupRequests {
  public:
    PopupRequests(std::string address, std::function<void()> onRequest);
    ~PopupRequests();
    PopupRequests(const PopupRequests&) = delete;
    PopupRequests& operator=(const PopupRequests&) = delete;

    // Starts listening; false (and a line on stderr) when the name is taken.
    bool Listen();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform
