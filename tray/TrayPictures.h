#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/ports/IconImage.h"

namespace ww::tray {

// The 17 tray pictures of the tray form, in five families; four families
// come in four network-activity variants (none, rx, tx, rxtx).
enum class TrayPicture : std::uint8_t {
    imgIcon_none,
    imgIcon_rx,
    imgIcon_tx,
    imgIcon_rxtx,
    imgSleepNow,
    imgSleepNever_none,
    imgSleepNever_rx,
    imgSleepNever_tx,
    imgSleepNever_rxtx,
    imgSleeperDisabled_none,
    imgSleeperDisabled_rx,
    imgSleeperDisabled_tx,
    imgSleeperDisabled_rxtx,
    imgDisable_none,
    imgDisable_rx,
    imgDisable_tx,
    imgDisable_rxtx,
};

inline constexpr std::size_t kTrayPictureCount = 17;

// The picture's 16 × 16 image in the standard 16-colour palette.
const platform::IconImage& PictureImage(TrayPicture picture);

// The control name of the picture, e.g. "imgSleepNever_rx".
const char* PictureName(TrayPicture picture);

// The program icon (the normal picture without activity), 16 or 32 pixels.
const platform::IconImage& ProgramIconImage(int size);

}  // namespace ww::tray
