#pragma once

namespace ww::platform {

// Whether the program has ended (EventLoop::End). Every callback into the
// logic checks it first: once ended, no timer, signal, tray click or host
// change reaches the logic again, even while Qt winds down.
class RunState {
  public:
    bool Ended() const { return ended_; }
    void End() { ended_ = true; }

  private:
    bool ended_ = false;
};

}  // namespace ww::platform
