#include "platform/linux/qt/QtForms.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace ww::platform {

int TwipsPerPixel(double dotsPerInch) {
    if (!(dotsPerInch > 0.0)) {
        return 15;
    }
    return std::max(1, static_cast<int>(std::lround(1440.0 / dotsPerInch)));
}

QtForms::QtForms(WindowTable& table, Trace& trace, const RunState& run)
    : table_(table), trace_(trace), run_(run) {}

QtForms::~QtForms() {
    // Whatever procedure the logic left installed may not outlive it: the
    // windows go through their own default procedures, and tell no one.
    events_ = nullptr;
    for (Hwnd window : {windows_.pictureBox, windows_.form}) {
        if (window != 0 && table_.Exists(window)) {
            table_.SetProc(window, &WindowTable::DefaultProc);
            table_.Destroy(window);
        }
    }
}

Forms::TrayFormWindows QtForms::CreateTrayForm(TrayFormEvents& events) {
    DestroyTrayForm();
    events_ = &events;
    // Nothing the form is sent needs the system's processing here: its
    // default procedure only answers.
    windows_.form = table_.Create(
        [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{0}; });
    windows_.pictureBox =
        table_.Create([this](std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
            return PictureBoxProc(message, lParam);
        });
    return windows_;
}

void QtForms::DestroyTrayForm() {
    // The picture box is the child: it goes first.
    const TrayFormWindows windows = windows_;
    windows_ = {};
    if (windows.pictureBox != 0) {
        table_.Destroy(windows.pictureBox);
    }
    if (windows.form != 0) {
        table_.Destroy(windows.form);
    }
    events_ = nullptr;
}

int QtForms::TwipsPerPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen != nullptr ? screen->logicalDotsPerInchX() : 0.0);
}

void QtForms::PlatformClose(std::string_view traceEvent) {
    trace_.Write(traceEvent);
    if (run_.Ended() || events_ == nullptr) {
        return;
    }
    events_->PlatformClose();
}

std::intptr_t QtForms::PictureBoxProc(std::uint32_t message, std::intptr_t lParam) {
    if (message != msg::kMouseMove || events_ == nullptr || run_.Ended()) {
        return 0;
    }
    const auto x = static_cast<int>(static_cast<std::uintptr_t>(lParam) & 0xFFFFU);  // LOWORD
    events_->PictureBoxMouseMove(0, 0, static_cast<float>(x * TwipsPerPixelX()), 0.0F);
    return 0;
}

}  // namespace ww::platform
