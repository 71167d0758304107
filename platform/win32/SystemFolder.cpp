#include "platform/win32/SystemFolder.h"

namespace ww::platform {

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string path(folder, length);
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

HMODULE LoadSystemLibrary(const char* name) {
    const std::string folder = SystemFolder();
    if (folder.empty()) {
        return nullptr;
    }
    return ::LoadLibraryA((folder + "\\" + name).c_str());
}

void KeepCurrentFolderOutOfDllSearch() {
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    static const auto setDllDirectory =
        LookUp<SetDllDirectoryFn>(::GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    if (setDllDirectory != nullptr) {
        setDllDirectory("");
    }
}

std::string SystemProgramPath(std::string_view name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string_view::npos) {
        return {};
    }
    const std::string folder = SystemFolder();
    if (folder.empty()) {
        return {};
    }
    std::string path = folder + "\\" + std::string(name);
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};
    }
    return path;
}

}  // namespace ww::platform
