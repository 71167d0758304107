#include "platform/linux/wayland/CompositorConnection.h"

#include <QObject>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>

#include <wayland-client.h>

namespace ww::platform {

CompositorConnection::CompositorConnection(std::string user) : user_(std::move(user)) {}

CompositorConnection::~CompositorConnection() {
    notifier_.reset();
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    if (display_ != nullptr) {
        wl_display_disconnect(display_);
    }
}

bool CompositorConnection::Connect(const wl_registry_listener* listener, void* data) {
    display_ = wl_display_connect(nullptr);
    if (display_ == nullptr) {
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, listener, data);
    wl_display_roundtrip(display_);
    notifier_ =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { Dispatch(); });
    return true;
}

void CompositorConnection::Roundtrip() {
    if (Alive()) {
        wl_display_roundtrip(display_);
    }
}

void CompositorConnection::Dispatch() {
    if (!Alive()) {
        return;
    }
    if (wl_display_prepare_read(display_) == 0) {
        wl_display_read_events(display_);
    }
    wl_display_dispatch_pending(display_);
    Flush();
}

void CompositorConnection::Flush() {
    if (!Alive()) {
        return;
    }
    wl_display_flush(display_);
    if (const int error = wl_display_get_error(display_); error != 0) {
        dead_ = true;
        notifier_->setEnabled(false);
        std::fprintf(stderr, "wakewatch: %s stopped: the compositor connection failed (%s)\n",
                     user_.c_str(), std::strerror(error));
        if (onDead) {
            onDead();
        }
    }
}

}  // namespace ww::platform
