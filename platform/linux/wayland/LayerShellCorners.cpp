#include "platform/linux/wayland/LayerShellCorners.h"

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <string>
#include <vector>

#include <wayland-client.h>

#include "platform/linux/wayland/CompositorConnection.h"
#include "platform/linux/wayland/CornerGeometry.h"
#include "platform/linux/wayland/TransparentBuffer.h"
#include "platform/ports/CornerZones.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace ww::platform {

namespace {

constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kSeatVersion = 5;  // wl_pointer.release, no axis_value120

// The listeners below must name a function for every event of the bound
// version; the ones nothing here needs.
template <typename... Args>
void Ignore(void*, Args...) {}

}  // namespace

struct LayerShellCorners::Impl {
    struct Output {
        std::uint32_t name = 0;
        wl_output* output = nullptr;
        zxdg_output_v1* xdg = nullptr;
        OutputRect rect;
    };
    struct Surface {
        Corner corner = Corner::None;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        wl_buffer* buffer = nullptr;
        std::int32_t width = 0;
    };

    // First, so that it goes last, after the proxies on it.
    CompositorConnection connection{"hot corners"};
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    std::uint32_t seatName = 0;
    std::uint32_t seatVersion = 0;
    wl_pointer* pointer = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    std::uint32_t layerShellName = 0;
    zxdg_output_manager_v1* outputManager = nullptr;
    std::list<Output> outputs;  // stable: the listeners hold their rects

    std::vector<Surface> surfaces;  // empty while not watching
    OutputRect screen;              // of the output the surfaces are on
    Corner corner = Corner::None;

    QTimer idle;

    ~Impl();
    void Connect();
    // The corners need the layer shell for their surfaces and the seat for
    // the pointer's enter and leave.
    bool Usable() const { return connection.Alive() && layerShell != nullptr && seat != nullptr; }

    void Global(wl_registry* from, std::uint32_t name, const char* interface,
                std::uint32_t version);
    void GlobalRemove(std::uint32_t name);
    void WatchOutput(Output& output);
    void SeatCapabilities(std::uint32_t capabilities);
    void DropPointer();

    void Asked();
    void PutUp();
    void TakeDown();
    void Configure(Surface& surface, std::uint32_t serial);
};

namespace {

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t version) {
        static_cast<LayerShellCorners::Impl*>(data)->Global(registry, name, interface, version);
    },
    [](void* data, wl_registry*, std::uint32_t name) {
        static_cast<LayerShellCorners::Impl*>(data)->GlobalRemove(name);
    },
};

const wl_seat_listener kSeatListener = {
    [](void* data, wl_seat*, std::uint32_t capabilities) {
        static_cast<LayerShellCorners::Impl*>(data)->SeatCapabilities(capabilities);
    },
    Ignore<wl_seat*, const char*>,
};

const wl_pointer_listener kPointerListener = {
    // enter: which of our surfaces, if any, now has the pointer
    [](void* data, wl_pointer*, std::uint32_t, wl_surface* surface, wl_fixed_t, wl_fixed_t) {
        auto* impl = static_cast<LayerShellCorners::Impl*>(data);
        impl->corner = Corner::None;
        for (const auto& s : impl->surfaces) {
            if (s.surface == surface) {
                impl->corner = s.corner;
            }
        }
    },
    [](void* data, wl_pointer*, std::uint32_t, wl_surface*) {
        static_cast<LayerShellCorners::Impl*>(data)->corner = Corner::None;
    },
    Ignore<wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t>,
    Ignore<wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t>,
    Ignore<wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t>,
    Ignore<wl_pointer*>,
    Ignore<wl_pointer*, std::uint32_t>,
    Ignore<wl_pointer*, std::uint32_t, std::uint32_t>,
    Ignore<wl_pointer*, std::uint32_t, std::int32_t>,
    Ignore<wl_pointer*, std::uint32_t, std::int32_t>,
};

const zxdg_output_v1_listener kXdgOutputListener = {
    [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
        auto* rect = static_cast<OutputRect*>(data);
        rect->x = x;
        rect->y = y;
    },
    [](void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
        auto* rect = static_cast<OutputRect*>(data);
        rect->width = width;
        rect->height = height;
    },
    Ignore<zxdg_output_v1*>,
    Ignore<zxdg_output_v1*, const char*>,
    Ignore<zxdg_output_v1*, const char*>,
};

}  // namespace

void LayerShellCorners::Impl::Connect() {
    // The globals, then what the outputs and the seat say about themselves.
    if (!connection.Connect(&kRegistryListener, this)) {
        std::fprintf(stderr, "wakewatch: hot corners unavailable: cannot reach the compositor\n");
        return;
    }
    connection.onDead = [this] { corner = Corner::None; };
    connection.Roundtrip();
    if (layerShell == nullptr || seat == nullptr || compositor == nullptr || shm == nullptr) {
        std::fprintf(stderr,
                     "wakewatch: hot corners unavailable: the compositor offers no "
                     "%s\n",
                     layerShell == nullptr ? "zwlr_layer_shell_v1" : "seat");
    } else {
        std::fprintf(stderr, "wakewatch: hot corners through zwlr_layer_shell_v1\n");
    }
}

void LayerShellCorners::Impl::Global(wl_registry* from, std::uint32_t name, const char* interface,
                                     std::uint32_t version) {
    const std::string kind(interface);
    if (kind == wl_compositor_interface.name) {
        compositor = static_cast<wl_compositor*>(wl_registry_bind(
            from, name, &wl_compositor_interface, std::min(version, kCompositorVersion)));
    } else if (kind == wl_shm_interface.name) {
        shm = static_cast<wl_shm*>(wl_registry_bind(from, name, &wl_shm_interface, 1));
    } else if (kind == wl_seat_interface.name && seat == nullptr) {
        seatVersion = std::min(version, kSeatVersion);
        seatName = name;
        seat = static_cast<wl_seat*>(wl_registry_bind(from, name, &wl_seat_interface, seatVersion));
        wl_seat_add_listener(seat, &kSeatListener, this);
    } else if (kind == zwlr_layer_shell_v1_interface.name && layerShell == nullptr) {
        layerShellName = name;
        layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(from, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        outputManager = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(from, name, &zxdg_output_manager_v1_interface, 1));
        for (Output& output : outputs) {
            WatchOutput(output);
        }
    } else if (kind == wl_output_interface.name) {
        Output& output = outputs.emplace_back();
        output.name = name;
        output.output =
            static_cast<wl_output*>(wl_registry_bind(from, name, &wl_output_interface, 1));
        WatchOutput(output);
    }
}

void LayerShellCorners::Impl::WatchOutput(Output& output) {
    if (outputManager == nullptr || output.xdg != nullptr) {
        return;
    }
    output.xdg = zxdg_output_manager_v1_get_xdg_output(outputManager, output.output);
    zxdg_output_v1_add_listener(output.xdg, &kXdgOutputListener, &output.rect);
}

void LayerShellCorners::Impl::GlobalRemove(std::uint32_t name) {
    // Withdrawn: as a compositor without them, until they are offered again.
    if (name == layerShellName && layerShell != nullptr) {
        TakeDown();
        zwlr_layer_shell_v1_destroy(layerShell);
        layerShell = nullptr;
        std::fprintf(stderr,
                     "wakewatch: hot corners stopped: the compositor withdrew "
                     "zwlr_layer_shell_v1\n");
        return;
    }
    if (name == seatName && seat != nullptr) {
        TakeDown();
        DropPointer();
        if (seatVersion >= WL_SEAT_RELEASE_SINCE_VERSION) {
            wl_seat_release(seat);
        } else {
            wl_seat_destroy(seat);
        }
        seat = nullptr;
        std::fprintf(stderr, "wakewatch: hot corners stopped: the compositor withdrew the seat\n");
        return;
    }
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if (it->name != name) {
            continue;
        }
        // The corners move to whichever output holds (0, 0) now, at the next question.
        TakeDown();
        if (it->xdg != nullptr) {
            zxdg_output_v1_destroy(it->xdg);
        }
        wl_output_destroy(it->output);
        outputs.erase(it);
        return;
    }
}

void LayerShellCorners::Impl::SeatCapabilities(std::uint32_t capabilities) {
    const bool has = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (has && pointer == nullptr) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, &kPointerListener, this);
    } else if (!has) {
        DropPointer();
    }
}

void LayerShellCorners::Impl::DropPointer() {
    if (pointer == nullptr) {
        return;
    }
    if (seatVersion >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(pointer);
    } else {
        wl_pointer_destroy(pointer);
    }
    pointer = nullptr;
    corner = Corner::None;
}

void LayerShellCorners::Impl::Asked() {
    if (!Usable()) {
        return;
    }
    idle.start();
    if (surfaces.empty()) {
        PutUp();
    }
}

void LayerShellCorners::Impl::PutUp() {
    std::vector<OutputRect> rects;
    std::vector<wl_output*> handles;
    for (const Output& output : outputs) {
        rects.push_back(output.rect);
        handles.push_back(output.output);
    }
    // Without one at (0, 0) the compositor chooses.
    const auto origin = OriginOutput(rects);
    wl_output* on = origin ? handles[*origin] : nullptr;
    screen = origin ? rects[*origin] : OutputRect{};
    for (Corner which : {Corner::BottomLeft, Corner::BottomRight}) {
        Surface& s = surfaces.emplace_back();
        s.corner = which;
        s.width = which == Corner::BottomLeft ? kBottomLeftZoneWidth : kBottomRightZoneWidth;
        s.surface = wl_compositor_create_surface(compositor);
        s.layer = zwlr_layer_shell_v1_get_layer_surface(
            layerShell, s.surface, on, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "wakewatch-corner");
        zwlr_layer_surface_v1_set_size(s.layer, static_cast<std::uint32_t>(s.width),
                                       static_cast<std::uint32_t>(kCornerZoneHeight));
        zwlr_layer_surface_v1_set_anchor(
            s.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                         (which == Corner::BottomLeft ? ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT
                                                      : ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT));
        // -1: reserve nothing, and sit in the very corner even beside a panel
        // that reserves the bottom edge.
        zwlr_layer_surface_v1_set_exclusive_zone(s.layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(s.layer, 0);
    }
    // The first commit, without a buffer, asks for each surface's configure;
    // the buffer comes with the answer.
    for (Surface& surface : surfaces) {
        static const zwlr_layer_surface_v1_listener kListener = {
            [](void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t,
               std::uint32_t) {
                auto* impl = static_cast<Impl*>(data);
                for (Surface& s : impl->surfaces) {
                    if (s.layer == layer) {
                        impl->Configure(s, serial);
                    }
                }
            },
            // Closed: the output went; put up anew at the next question.
            [](void* data, zwlr_layer_surface_v1*) { static_cast<Impl*>(data)->TakeDown(); },
        };
        zwlr_layer_surface_v1_add_listener(surface.layer, &kListener, this);
        wl_surface_commit(surface.surface);
    }
    connection.Flush();
}

void LayerShellCorners::Impl::Configure(Surface& surface, std::uint32_t serial) {
    zwlr_layer_surface_v1_ack_configure(surface.layer, serial);
    if (surface.buffer == nullptr) {
        surface.buffer = TransparentBuffer(shm, surface.width, kCornerZoneHeight);
        if (surface.buffer == nullptr) {
            return;
        }
        wl_surface_attach(surface.surface, surface.buffer, 0, 0);
        wl_surface_damage(surface.surface, 0, 0, surface.width, kCornerZoneHeight);
    }
    wl_surface_commit(surface.surface);
}

void LayerShellCorners::Impl::TakeDown() {
    if (surfaces.empty()) {
        return;
    }
    for (Surface& s : surfaces) {
        zwlr_layer_surface_v1_destroy(s.layer);
        wl_surface_destroy(s.surface);
        if (s.buffer != nullptr) {
            wl_buffer_destroy(s.buffer);
        }
    }
    surfaces.clear();
    screen = {};
    corner = Corner::None;
    idle.stop();
    connection.Flush();
}

LayerShellCorners::Impl::~Impl() {
    if (connection.Display() == nullptr) {
        return;
    }
    TakeDown();
    if (pointer != nullptr) {
        wl_pointer_destroy(pointer);
    }
    for (Output& output : outputs) {
        if (output.xdg != nullptr) {
            zxdg_output_v1_destroy(output.xdg);
        }
        wl_output_destroy(output.output);
    }
    if (outputManager != nullptr) {
        zxdg_output_manager_v1_destroy(outputManager);
    }
    if (layerShell != nullptr) {
        zwlr_layer_shell_v1_destroy(layerShell);
    }
    if (seat != nullptr) {
        wl_seat_destroy(seat);
    }
    if (shm != nullptr) {
        wl_shm_destroy(shm);
    }
    if (compositor != nullptr) {
        wl_compositor_destroy(compositor);
    }
}

std::optional<std::string> LayerShellCorners::CheckCompositor() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        return "wakewatch: cannot reach the Wayland compositor \"" +
               std::string(name != nullptr && *name != '\0' ? name : "wayland-0") + "\"";
    }
    wl_display_disconnect(display);
    return std::nullopt;
}

LayerShellCorners::LayerShellCorners() : impl_(std::make_unique<Impl>()) {
    impl_->idle.setSingleShot(true);
    impl_->idle.setInterval(kIdleMs);
    QObject::connect(&impl_->idle, &QTimer::timeout, &impl_->idle, [this] { impl_->TakeDown(); });
    impl_->Connect();
}

LayerShellCorners::~LayerShellCorners() = default;

std::int32_t LayerShellCorners::GetSystemMetrics(int index) {
    if (index == kSmCxScreen) {
        return impl_->screen.width;
    }
    return index == kSmCyScreen ? impl_->screen.height : 0;
}

bool LayerShellCorners::GetCursorPos(Point&) {
    return false;
}

std::optional<Corner> LayerShellCorners::PointerCorner() {
    // Never nullopt: the tick would then test a position there is none of.
    if (!impl_->Usable()) {
        return Corner::None;
    }
    impl_->Asked();
    return impl_->corner;
}

bool LayerShellCorners::CanWatchCorners() {
    return impl_->Usable();
}

bool LayerShellCorners::Watching() const {
    return !impl_->surfaces.empty();
}

}  // namespace ww::platform
