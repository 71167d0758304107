#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ww::platform::test {

// A Wayland compositor for the tests, on a thread of its own: it offers
// wl_compositor, wl_shm, wl_seat, zwlr_layer_shell_v1 and
// zwp_idle_inhibit_manager_v1, accepts every request, makes every object asked
// for and records each request as "<interface>.<request>" followed by its
// integer arguments. It can withdraw a global and offer it again, which a
// real compositor does only when hardware or a module goes.
class FakeCompositor {
  public:
    FakeCompositor();
    ~FakeCompositor();
    FakeCompositor(const FakeCompositor&) = delete;
    FakeCompositor& operator=(const FakeCompositor&) = delete;

    // The socket's full path, for WAYLAND_DISPLAY.
    const std::string& Socket() const;

    // wl_registry.global_remove for the global of this interface.
    void Withdraw(const std::string& interface);
    // The interface offered again, under a new name.
    void Offer(const std::string& interface);

    // How many objects of this interface exist now (a client that went took
    // its own along).
    int Alive(const std::string& interface) const;

    // The requests so far, in order.
    std::vector<std::string> Requests() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform::test
