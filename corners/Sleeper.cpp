#include "corners/Sleeper.h"

// Placeholder until hot corners and the icon choice land: the picture
// follows the hot-corner flag only.
namespace ww::corners {

void Sleeper::UpdateTrayState() {
    tray_.SetTrayIcon(shared_.HotCornersEnabled != 0 ? tray::TrayPicture::imgIcon_none
                                                     : tray::TrayPicture::imgSleeperDisabled_none);
}

}  // namespace ww::corners
