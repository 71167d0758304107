# Cross-builds for 32-bit Windows with Debian's mingw-w64 (the win32 preset).
# The -posix compilers carry the std::thread / std::mutex support GoogleTest
# needs. Executables link the C and C++ runtimes in, so wakewatch.exe and the
# test programs run on Windows (and under Wine) without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(WW_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${WW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WW_MINGW_TRIPLE}-windres)

# Headers and libraries come from the target's tree only; programs run here.
set(CMAKE_FIND_ROOT_PATH /usr/${WW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
