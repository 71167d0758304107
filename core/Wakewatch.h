#pragma once

#include <memory>

#include "platform/ports/Ports.h"

namespace ww::core {

class FrmSysTray;
struct SharedState;

// The whole program over one backend's ports: the backend's main creates it,
// calls Start() once (the tray form loads and runs its start-up), then runs
// its event loop until EventLoop::End() is called.
class Wakewatch {
  public:
    explicit Wakewatch(platform::Ports& ports);
    ~Wakewatch();
    Wakewatch(const Wakewatch&) = delete;
    Wakewatch& operator=(const Wakewatch&) = delete;

    void Start();

    FrmSysTray& TrayForm();
    SharedState& Shared();

  private:
    std::unique_ptr<SharedState> shared_;
    std::unique_ptr<FrmSysTray> trayForm_;
};

}  // namespace ww::core
