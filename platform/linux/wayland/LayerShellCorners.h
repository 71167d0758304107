#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/wayland/CornerGeometry.h"
#include "platform/ports/CursorScreen.h"

namespace ww::platform {

// The cursor port of a Wayland session. A compositor tells a client where the
// pointer is only over the client's own surfaces, so while the tick asks,
// two small transparent overlay surfaces sit in the bottom corners of the
// output that holds (0, 0), and their pointer enter and leave events say
// whether the pointer rests in a corner. The surfaces go when the tick has
// stopped asking (hot corners off), so the corner pixels take the user's
// clicks only while hot corners are on.
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

    // The logical size of the output the corners are on (a nominal screen
    // while it is not known). Puts the corner surfaces up when they are not.
    std::int32_t GetSystemMetrics(int index) override;

    // A point in the bottom-left or bottom-right zone while the pointer is on
    // that corner's surface, the screen's middle otherwise. False when the
    // compositor cannot be watched.
    bool GetCursorPos(Point& point) override;

    // The compositor offers zwlr_layer_shell_v1 and the connection is alive.
    bool CanWatchCorners() override;

    // Whether the corner surfaces are up now, and which corner holds the pointer.
    bool Watching() const;
    Corner PointerCorner() const;

    // How long after the tick's last question the surfaces are taken down.
    static constexpr int kIdleMs = 1500;

    struct Impl;  // named by the protocol listeners in the source file

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform
