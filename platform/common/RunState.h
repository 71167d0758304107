#pragma once

namespace ww::platform {

// Whether the program has ended (EventLoop::End). Every way into the logic
// (timers, signals, window procedures, tray clicks, host changes) checks it
// first: once ended, nothing reaches the logic again, even while the
// toolkit's windows go away.
class RunState {
  public:
    bool Ended() const { return ended_; }
    void End() { ended_ = true; }

  private:
    bool ended_ = false;
};

}  // namespace ww::platform
