#include "platform/sim/SimForms.h"

namespace ww::platform {

SimForms::~SimForms() {
    // The logic behind a hooked procedure may already be gone; tear down
    // through the default procedures only.
    for (const auto& form : windows_) {
        table_.SetProc(form.form, &WindowTable::DefaultProc);
        table_.SetProc(form.pictureBox, &WindowTable::DefaultProc);
        table_.Destroy(form.form);
        table_.Destroy(form.pictureBox);
    }
}

Forms::TrayFormWindows SimForms::CreateTrayForm(TrayFormEvents& events) {
    log_.Add("CreateTrayForm");
    TrayFormWindows made;
    made.form = table_.Create(
        [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{0}; });
    TrayFormEvents* target = &events;
    made.pictureBox =
        table_.Create([this, target](std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
            if (message == msg::kMouseMove) {
                const auto x = static_cast<std::uint16_t>(static_cast<std::uintptr_t>(lParam));
                target->PictureBoxMouseMove(0, 0, static_cast<float>(x * twipsPerPixel_), 0.0F);
            }
            return std::intptr_t{0};
        });
    windows_.push_back(made);
    events_.push_back(target);
    return made;
}

void SimForms::DestroyTrayForm() {
    log_.Add("DestroyTrayForm");
    auto forms = std::move(windows_);
    windows_.clear();
    events_.clear();
    for (const auto& form : forms) {
        table_.Destroy(form.form);
        table_.Destroy(form.pictureBox);
    }
}

int SimForms::TwipsPerPixelX() {
    log_.Add("TwipsPerPixelX");
    return twipsPerPixel_;
}

bool SimForms::CloseTrayForm() {
    if (events_.empty()) {
        return false;
    }
    auto targets = events_;  // PlatformClose usually destroys the form
    for (auto* events : targets) {
        events->PlatformClose();
    }
    return true;
}

}  // namespace ww::platform
