// Stands for a program someone left beside Wakewatch under a system
// program's name (cmd.exe, rundll32.exe): it only says that it ran.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "wakewatch-planted.txt";
    if (std::FILE* file = std::fopen(path.c_str(), "a")) {
        std::fputs("planted program ran\n", file);
        std::fclose(file);
    }
    return 0;
}
