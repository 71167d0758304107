#include "corners/ScreenSaverStuff.h"

// Placeholder until the screen-saver control lands: nothing is touched.
namespace ww::corners {

void ScreenSaverStuff::StartScreenSaver() {}
bool ScreenSaverStuff::GetScreenSaverActive() { return false; }
void ScreenSaverStuff::DisableScreenSaver() {}
void ScreenSaverStuff::EnableScreenSaver() {}
void ScreenSaverStuff::SetActive(std::uint32_t) {}

}  // namespace ww::corners
