// Stands for a DLL someone left beside Wakewatch under a system DLL's name
// (iphlpapi.dll): loading it says so, and its GetIfTable answers a number no
// system gives.
#include <windows.h>

#include <cstdio>
#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char folder[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, folder);
        const std::string path = std::string(folder) + "wakewatch-planted.txt";
        if (std::FILE* file = std::fopen(path.c_str(), "a")) {
            std::fputs("planted library loaded\n", file);
            std::fclose(file);
        }
    }
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI GetIfTable(void*, ULONG*, BOOL) {
    return 0x5757;
}
