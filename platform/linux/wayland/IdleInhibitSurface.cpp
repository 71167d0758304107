#include "platform/linux/wayland/IdleInhibitSurface.h"

#include <QObject>
#include <QTimer>
#include <cstdio>
#include <string>

#include <wayland-client.h>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "platform/linux/wayland/CompositorConnection.h"
#include "platform/linux/wayland/TransparentBuffer.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace ww::platform {

namespace {

// A surface closed by the compositor (its output went) is put up again after
// this long, not at once: with no output at all it would be closed again.
constexpr int kReopenMs = 1000;

}  // namespace

struct IdleInhibitSurface::Impl {
    // A bound global and the name it was offered under, for global_remove.
    template <typename T>
    struct Bound {
        T* proxy = nullptr;
        std::uint32_t name = 0;
    };

    // First, so that it goes last, after the proxies on it.
    CompositorConnection connection{"the idle inhibitor"};
    Bound<wl_compositor> compositor;
    Bound<wl_shm> shm;
    Bound<zwlr_layer_shell_v1> layerShell;
    Bound<zwp_idle_inhibit_manager_v1> manager;

    bool wanted = false;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    zwp_idle_inhibitor_v1* inhibitor = nullptr;
    wl_buffer* buffer = nullptr;

    QTimer reopen;

    ~Impl();
    void Connect();
    bool Usable() const {
        return connection.Alive() && compositor.proxy != nullptr && shm.proxy != nullptr &&
               layerShell.proxy != nullptr && manager.proxy != nullptr;
    }

    void Global(wl_registry* from, std::uint32_t name, const char* interface);
    void GlobalRemove(std::uint32_t name);
    void PutUp();
    void Configure(std::uint32_t serial);
    void TakeDown();
};

namespace {

template <typename T>
void Destroy(IdleInhibitSurface::Impl::Bound<T>& bound, void (*destroy)(T*)) {
    if (bound.proxy != nullptr) {
        destroy(bound.proxy);
    }
    bound = {};
}

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t) {
        static_cast<IdleInhibitSurface::Impl*>(data)->Global(registry, name, interface);
    },
    [](void* data, wl_registry*, std::uint32_t name) {
        static_cast<IdleInhibitSurface::Impl*>(data)->GlobalRemove(name);
    },
};

const zwlr_layer_surface_v1_listener kLayerListener = {
    [](void* data, zwlr_layer_surface_v1*, std::uint32_t serial, std::uint32_t, std::uint32_t) {
        static_cast<IdleInhibitSurface::Impl*>(data)->Configure(serial);
    },
    [](void* data, zwlr_layer_surface_v1*) {
        auto* impl = static_cast<IdleInhibitSurface::Impl*>(data);
        impl->TakeDown();
        impl->reopen.start();
    },
};

}  // namespace

void IdleInhibitSurface::Impl::Connect() {
    connection.Connect(&kRegistryListener, this);
}

void IdleInhibitSurface::Impl::Global(wl_registry* from, std::uint32_t name,
                                      const char* interface) {
    const std::string kind(interface);
    if (kind == wl_compositor_interface.name && compositor.proxy == nullptr) {
        compositor = {
            static_cast<wl_compositor*>(wl_registry_bind(from, name, &wl_compositor_interface, 1)),
            name};
    } else if (kind == wl_shm_interface.name && shm.proxy == nullptr) {
        shm = {static_cast<wl_shm*>(wl_registry_bind(from, name, &wl_shm_interface, 1)), name};
    } else if (kind == zwlr_layer_shell_v1_interface.name && layerShell.proxy == nullptr) {
        layerShell = {static_cast<zwlr_layer_shell_v1*>(
                          wl_registry_bind(from, name, &zwlr_layer_shell_v1_interface, 1)),
                      name};
    } else if (kind == zwp_idle_inhibit_manager_v1_interface.name && manager.proxy == nullptr) {
        manager = {static_cast<zwp_idle_inhibit_manager_v1*>(
                       wl_registry_bind(from, name, &zwp_idle_inhibit_manager_v1_interface, 1)),
                   name};
    } else {
        return;
    }
    // Back (or late): a hold still taken goes up again.
    if (wanted && surface == nullptr && Usable()) {
        PutUp();
    }
}

void IdleInhibitSurface::Impl::GlobalRemove(std::uint32_t name) {
    const bool ours = name == compositor.name || name == shm.name || name == layerShell.name ||
                      name == manager.name;
    if (!ours) {
        return;
    }
    TakeDown();
    if (name == manager.name) {
        Destroy(manager, zwp_idle_inhibit_manager_v1_destroy);
    } else if (name == layerShell.name) {
        Destroy(layerShell, zwlr_layer_shell_v1_destroy);
    } else if (name == shm.name) {
        Destroy(shm, wl_shm_destroy);
    } else {
        Destroy(compositor, wl_compositor_destroy);
    }
}

void IdleInhibitSurface::Impl::PutUp() {
    surface = wl_compositor_create_surface(compositor.proxy);
    // An empty input region: clicks on its pixel go to what lies beneath.
    wl_region* none = wl_compositor_create_region(compositor.proxy);
    wl_surface_set_input_region(surface, none);
    wl_region_destroy(none);
    layer = zwlr_layer_shell_v1_get_layer_surface(layerShell.proxy, surface, nullptr,
                                                  ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                                                  "wakewatch-idle-inhibit");
    zwlr_layer_surface_v1_set_size(layer, 1, 1);
    zwlr_layer_surface_v1_set_anchor(
        layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layer, 0);
    zwlr_layer_surface_v1_add_listener(layer, &kLayerListener, this);
    inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(manager.proxy, surface);
    // Without a buffer: asks for the configure, whose answer maps it.
    wl_surface_commit(surface);
    connection.Flush();
}

void IdleInhibitSurface::Impl::Configure(std::uint32_t serial) {
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (buffer == nullptr) {
        buffer = TransparentBuffer(shm.proxy, 1, 1);
        if (buffer == nullptr) {
            std::fprintf(stderr,
                         "wakewatch: the idle inhibitor's surface has no memory for its pixel\n");
            return;
        }
        wl_surface_attach(surface, buffer, 0, 0);
        wl_surface_damage(surface, 0, 0, 1, 1);
    }
    wl_surface_commit(surface);
}

void IdleInhibitSurface::Impl::TakeDown() {
    reopen.stop();
    if (surface == nullptr) {
        return;
    }
    if (inhibitor != nullptr) {
        zwp_idle_inhibitor_v1_destroy(inhibitor);
    }
    zwlr_layer_surface_v1_destroy(layer);
    wl_surface_destroy(surface);
    if (buffer != nullptr) {
        wl_buffer_destroy(buffer);
    }
    surface = nullptr;
    layer = nullptr;
    inhibitor = nullptr;
    buffer = nullptr;
    // Sent now: a release from the menu has no dispatch after it to flush it.
    connection.Flush();
}

IdleInhibitSurface::Impl::~Impl() {
    if (connection.Display() == nullptr) {
        return;
    }
    if (connection.Alive()) {
        TakeDown();
    }
    Destroy(manager, zwp_idle_inhibit_manager_v1_destroy);
    Destroy(layerShell, zwlr_layer_shell_v1_destroy);
    Destroy(shm, wl_shm_destroy);
    Destroy(compositor, wl_compositor_destroy);
}

IdleInhibitSurface::IdleInhibitSurface() : impl_(std::make_unique<Impl>()) {
    impl_->reopen.setSingleShot(true);
    impl_->reopen.setInterval(kReopenMs);
    QObject::connect(&impl_->reopen, &QTimer::timeout, &impl_->reopen, [this] {
        if (impl_->wanted && impl_->surface == nullptr && impl_->Usable()) {
            impl_->PutUp();
        }
    });
    impl_->Connect();
}

IdleInhibitSurface::~IdleInhibitSurface() = default;

bool IdleInhibitSurface::Available() const {
    return impl_->Usable();
}

bool IdleInhibitSurface::Hold() {
    if (!impl_->Usable()) {
        return false;
    }
    impl_->wanted = true;
    if (impl_->surface == nullptr) {
        impl_->PutUp();
    }
    return true;
}

void IdleInhibitSurface::Release() {
    impl_->wanted = false;
    impl_->TakeDown();
}

bool IdleInhibitSurface::Held() const {
    return impl_->wanted;
}

bool IdleInhibitSurface::Inhibiting() const {
    return impl_->inhibitor != nullptr;
}

}  // namespace ww::platform
