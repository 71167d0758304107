#pragma once

#include "platform/ports/CursorScreen.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// A 1024 × 768 primary screen with the cursor at (0, 0) by default.
class SimCursorScreen : public CursorScreen {
  public:
    explicit SimCursorScreen(SimLog& log) : log_(log) {}

    std::int32_t GetSystemMetrics(int index) override;
    bool GetCursorPos(Point& point) override;

    // --- control ---
    void SetScreenSize(std::int32_t width, std::int32_t height) {
        width_ = width;
        height_ = height;
    }
    void SetCursor(std::int32_t x, std::int32_t y) { cursor_ = {x, y}; }
    void SetCursorFails(bool fails) { cursorFails_ = fails; }
    // A desktop that hides the corners from programs.
    void SetCanWatchCorners(bool can) { canWatchCorners_ = can; }
    bool CanWatchCorners() override { return canWatchCorners_; }
    // A desktop that says which corner the pointer rests in, not where it is;
    // nullopt (the default) for one that tells the position.
    void SetPointerCorner(std::optional<Corner> corner) { pointerCorner_ = corner; }
    std::optional<Corner> PointerCorner() override { return pointerCorner_; }

  private:
    SimLog& log_;
    std::int32_t width_ = 1024;
    std::int32_t height_ = 768;
    Point cursor_;
    bool cursorFails_ = false;
    bool canWatchCorners_ = true;
    std::optional<Corner> pointerCorner_;
};

}  // namespace ww::platform
