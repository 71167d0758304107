#include "platform/linux/wayland/FakeCompositor.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <wayland-server.h>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace ww::platform::test {

struct FakeCompositor::Impl {
    std::string dir;
    std::string socket;
    wl_display* display = nullptr;
    std::map<std::string, wl_global*> globals;
    struct Binder {
        Impl* impl;
        const wl_interface* interface;
    };
    std::vector<std::unique_ptr<Binder>> binders;
    std::vector<std::string> requests;
    std::map<std::string, int> alive;  // objects by interface
    mutable std::mutex lock;           // held by whoever touches the display
    std::atomic<bool> running{true};
    std::thread thread;

    void Run();
    void Create(const std::string& interface);
};

namespace {

struct Offered {
    const wl_interface* interface;
    int version;
};

const std::map<std::string, Offered>& Interfaces() {
    static const std::map<std::string, Offered> kAll = {
        {"wl_compositor", {&wl_compositor_interface, 4}},
        {"wl_shm", {&wl_shm_interface, 1}},
        {"wl_seat", {&wl_seat_interface, 5}},
        {"zwlr_layer_shell_v1", {&zwlr_layer_shell_v1_interface, 1}},
        {"zwp_idle_inhibit_manager_v1", {&zwp_idle_inhibit_manager_v1_interface, 1}},
    };
    return kAll;
}

int Dispatch(const void* data, void* target, std::uint32_t, const wl_message* message,
             wl_argument* args);

void Accept(FakeCompositor::Impl* impl, wl_resource* resource) {
    ++impl->alive[wl_resource_get_class(resource)];
    // Also when its client goes without destroying it.
    wl_resource_set_dispatcher(resource, Dispatch, impl, impl, [](wl_resource* gone) {
        auto* owner = static_cast<FakeCompositor::Impl*>(wl_resource_get_user_data(gone));
        --owner->alive[wl_resource_get_class(gone)];
    });
}

// Every request of every object: recorded, its new objects made, its file
// descriptors closed, a destructor honoured.
int Dispatch(const void* data, void* target, std::uint32_t, const wl_message* message,
             wl_argument* args) {
    auto* impl = const_cast<FakeCompositor::Impl*>(static_cast<const FakeCompositor::Impl*>(data));
    auto* resource = static_cast<wl_resource*>(target);
    std::string line = std::string(wl_resource_get_class(resource)) + "." + message->name;
    int index = 0;
    for (const char* c = message->signature; *c != '\0'; ++c) {
        if (*c == '?' || std::isdigit(static_cast<unsigned char>(*c)) != 0) {
            continue;
        }
        if (*c == 'n') {
            wl_resource* made =
                wl_resource_create(wl_resource_get_client(resource), message->types[index],
                                   wl_resource_get_version(resource), args[index].n);
            Accept(impl, made);
        } else if (*c == 'h') {
            close(args[index].h);
        } else if (*c == 'u') {
            line += " " + std::to_string(args[index].u);
        } else if (*c == 'i') {
            line += " " + std::to_string(args[index].i);
        }
        ++index;
    }
    impl->requests.push_back(line);
    const std::string name = message->name;
    if (name == "destroy" || name == "release") {
        wl_resource_destroy(resource);
    }
    return 0;
}

}  // namespace

void FakeCompositor::Impl::Create(const std::string& interface) {
    const Offered& offered = Interfaces().at(interface);
    // Kept for the life of the compositor: a withdrawn global may still be bound.
    binders.push_back(std::make_unique<Binder>(Binder{this, offered.interface}));
    globals[interface] = wl_global_create(
        display, offered.interface, offered.version, binders.back().get(),
        [](wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
            auto* binder = static_cast<Binder*>(data);
            wl_resource* resource =
                wl_resource_create(client, binder->interface, static_cast<int>(version), id);
            Accept(binder->impl, resource);
            if (binder->interface == &wl_seat_interface) {
                wl_seat_send_capabilities(resource, WL_SEAT_CAPABILITY_POINTER);
            }
        });
}

void FakeCompositor::Impl::Run() {
    wl_event_loop* loop = wl_display_get_event_loop(display);
    pollfd fd{wl_event_loop_get_fd(loop), POLLIN, 0};
    while (running) {
        {
            std::lock_guard<std::mutex> guard(lock);
            wl_event_loop_dispatch(loop, 0);
            wl_display_flush_clients(display);
        }
        poll(&fd, 1, 10);
    }
}

FakeCompositor::FakeCompositor() : impl_(std::make_unique<Impl>()) {
    char dir[] = "/tmp/ww-fake-compositor-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    impl_->dir = dir;
    impl_->socket = impl_->dir + "/wayland-fake";
    impl_->display = wl_display_create();
    if (wl_display_add_socket(impl_->display, impl_->socket.c_str()) != 0) {
        throw std::runtime_error("cannot listen on " + impl_->socket);
    }
    wl_display_init_shm(impl_->display);
    for (const auto& [interface, offered] : Interfaces()) {
        if (interface != "wl_shm") {
            impl_->Create(interface);
        }
    }
    impl_->thread = std::thread([this] { impl_->Run(); });
}

FakeCompositor::~FakeCompositor() {
    impl_->running = false;
    impl_->thread.join();
    wl_display_destroy_clients(impl_->display);
    wl_display_destroy(impl_->display);
    std::filesystem::remove_all(impl_->dir);
}

const std::string& FakeCompositor::Socket() const {
    return impl_->socket;
}

void FakeCompositor::Withdraw(const std::string& interface) {
    std::lock_guard<std::mutex> guard(impl_->lock);
    wl_global_remove(impl_->globals.at(interface));
    wl_display_flush_clients(impl_->display);
}

void FakeCompositor::Offer(const std::string& interface) {
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->Create(interface);
    wl_display_flush_clients(impl_->display);
}

int FakeCompositor::Alive(const std::string& interface) const {
    std::lock_guard<std::mutex> guard(impl_->lock);
    const auto found = impl_->alive.find(interface);
    return found == impl_->alive.end() ? 0 : found->second;
}

std::vector<std::string> FakeCompositor::Requests() const {
    std::lock_guard<std::mutex> guard(impl_->lock);
    return impl_->requests;
}

}  // namespace ww::platform::test
