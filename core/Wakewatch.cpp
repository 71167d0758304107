#include "core/Wakewatch.h"

#include "core/FrmSysTray.h"

namespace ww::core {

Wakewatch::Wakewatch(platform::Ports& ports)
    : shared_(std::make_unique<SharedState>()),
      trayForm_(std::make_unique<FrmSysTray>(ports, *shared_)) {}

Wakewatch::~Wakewatch() = default;

void Wakewatch::Start() {
    trayForm_->Load();
}

FrmSysTray& Wakewatch::TrayForm() {
    return *trayForm_;
}

SharedState& Wakewatch::Shared() {
    return *shared_;
}

}  // namespace ww::core
