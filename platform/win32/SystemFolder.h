#pragma once

#include <string>
#include <string_view>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {

// Where the program looks for the system's own code: never in its own
// folder (the program may have been copied anywhere, e.g. Downloads, beside
// whatever else was downloaded there) nor in the current folder.

// The system folder (GetSystemDirectoryA) without a trailing backslash;
// empty when it cannot be had.
std::string SystemFolder();

// LoadLibraryA of the system folder's `name`, by its full path; null when it
// is not there.
HMODULE LoadSystemLibrary(const char* name);

// SetDllDirectoryA(""), where the system has it (XP SP1 and later; looked up
// at run time): the current folder leaves the DLL search order.
void KeepCurrentFolderOutOfDllSearch();

// The system folder's file `name` (a bare file name such as "rundll32.exe")
// by its full path; empty when `name` carries a folder or the file is not
// there.
std::string SystemProgramPath(std::string_view name);

}  // namespace ww::platform
