#include "core/Wakewatch.h"
#include "platform/win32/SystemFolder.h"
#include "platform/win32/Win32Calls.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ww::platform::KeepCurrentFolderOutOfDllSearch();
    ww::platform::Win32Platform platform(instance);
    ww::core::Wakewatch program(platform.GetPorts());
    program.Start();
    return platform.Run();
}
