#pragma once

namespace ww::platform {

// Whether the program has ended (EventLoop::End). Every way into the logic
// (timers, window procedures, the tray form's events) checks it first, so
// nothing reaches the logic once it has ended, even while windows go away.
class Win32RunState {
  public:
    bool Ended() const { return ended_; }
    void End() { ended_ = true; }

  private:
    bool ended_ = false;
};

}  // namespace ww::platform
