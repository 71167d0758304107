#pragma once

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct wl_registry_listener;

namespace ww::platform {

// A connection of our own to the compositor, beside the toolkit's: read on
// the event loop, flushed after each change, and given up for good once it
// fails (a compositor that went, or a protocol error it sent), saying so.
// The owner destroys its proxies before this goes: it holds the registry and
// the display.
class CompositorConnection {
  public:
    // `user` names what stops with the connection, for stderr ("hot corners").
    explicit CompositorConnection(std::string user);
    ~CompositorConnection();
    CompositorConnection(const CompositorConnection&) = delete;
    CompositorConnection& operator=(const CompositorConnection&) = delete;

    // Connects and hands the globals to `listener` (one round trip); false
    // when no compositor answers.
    bool Connect(const wl_registry_listener* listener, void* data);

    wl_display* Display() const { return display_; }
    bool Alive() const { return display_ != nullptr && !dead_; }

    void Roundtrip();
    // Reads and handles what arrived, then flushes.
    void Dispatch();
    // Sends what is queued; on a failed connection, stops for good.
    void Flush();

    // Once, when the connection has failed.
    std::function<void()> onDead;

  private:
    std::string user_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    bool dead_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace ww::platform
