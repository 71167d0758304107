#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/ports/CursorScreen.h"

namespace ww::platform {

// The cursor port of a Wayland session. A compositor tells a client where the
// pointer is only over the client's own surfaces, so while the tick asks,
// two small transparent overlay surfaces cover the corner zones of the
// output that holds (0, 0), and their pointer enter and leave events say
// which corner the pointer rests in; that is what the tick is told. The
// surfaces go when the tick has stopped asking (hot corners off), so the
// corner pixels take the user's clicks only while hot corners are on.
//
// Talks to the compositor over a connection of its own (Qt's gives no layer
// surfaces), read on the UI thread through a QSocketNotifier.
class LayerShellCorners : public CursorScreen {
  public:
    // Connects to $WAYLAND_DISPLAY and says on stderr whether hot corners can
    // work here. Needs a running QCoreApplication.
    LayerShellCorners();
    ~LayerShellCorners() override;
    LayerShellCorners(const LayerShellCorners&) = delete;

    // Before Qt starts: nullopt when the compositor can be reached, otherwise
    // the one line to print.
    static std::optional<std::string> CheckCompositor();

    LayerShellCorners& operator=(const LayerShellCorners&) = delete;

    // The logical size of the output the corner surfaces are on; 0 while
    // they are not up or its size is not known.
    std::int32_t GetSystemMetrics(int index) override;

    // False: the compositor says where the pointer is over our surfaces only.
    bool GetCursorPos(Point& point) override;

    // The compositor offers zwlr_layer_shell_v1 and a seat, and the
    // connection is alive. Both are followed: when the compositor withdraws
    // one (global_remove) this turns false until it is offered again.
    bool CanWatchCorners() override;

    // The corner whose surface holds the pointer, Corner::None otherwise and
    // whenever the compositor cannot be watched. Puts the corner surfaces up
    // when they are not.
    std::optional<Corner> PointerCorner() override;

    // Whether the corner surfaces are up now.
    bool Watching() const;

    // How long after the tick's last question the surfaces are taken down.
    static constexpr int kIdleMs = 1500;

    struct Impl;  // named by the protocol listeners in the source file

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform
