# Desktop part of the Windows backend: the tray form, its icon, window
# messages, the run-time services (application, event loop, message boxes),
# the platform as a whole and wakewatch.exe with its resources.
target_sources(ww_platform_win32 PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TracingTrayMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32EventLoop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32NotifyIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32WindowMessages.cpp)
target_link_libraries(ww_platform_win32 PUBLIC user32 gdi32 shell32 kernel32)

# ---- Resources: the program icon, the hand cursor, the version record ------
# The icon and the cursor are drawn by the program's own code (the tray
# pictures, the hand of the About page's links); a small generator built for
# this machine writes them as .ico and .cur files for the resource compiler.
find_program(WW_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
find_program(WW_WINDRES NAMES ${CMAKE_RC_COMPILER} i686-w64-mingw32-windres windres REQUIRED)
set(WW_RES_DIR ${CMAKE_CURRENT_BINARY_DIR}/resources)
set(WW_ICON_GENERATOR ${WW_RES_DIR}/IconFileGenerator)
add_custom_command(
  OUTPUT ${WW_ICON_GENERATOR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${WW_RES_DIR}
  COMMAND ${WW_HOST_CXX} -std=c++20 -O1 -I${PROJECT_SOURCE_DIR}
    ${PROJECT_SOURCE_DIR}/tools/IconFileGenerator.cpp
    ${PROJECT_SOURCE_DIR}/tray/TrayPictures.cpp
    ${PROJECT_SOURCE_DIR}/ui/HandPointer.cpp
    -o ${WW_ICON_GENERATOR}
  DEPENDS
    ${PROJECT_SOURCE_DIR}/tools/IconFileGenerator.cpp
    ${PROJECT_SOURCE_DIR}/tray/TrayPictures.cpp
    ${PROJECT_SOURCE_DIR}/tray/TrayPictures.h
    ${PROJECT_SOURCE_DIR}/ui/HandPointer.cpp
  COMMENT "Building the icon file generator for this machine"
  VERBATIM)
add_custom_command(
  OUTPUT ${WW_RES_DIR}/wakewatch.ico ${WW_RES_DIR}/hand.cur
  COMMAND ${WW_ICON_GENERATOR} ${WW_RES_DIR}/wakewatch.ico ${WW_RES_DIR}/hand.cur
  DEPENDS ${WW_ICON_GENERATOR}
  COMMENT "Writing wakewatch.ico and hand.cur"
  VERBATIM)
# windres is run by hand: the project's warning flags are not its options.
add_custom_command(
  OUTPUT ${WW_RES_DIR}/Wakewatch.res.o
  COMMAND ${WW_WINDRES} -I${PROJECT_SOURCE_DIR} -I${WW_GENERATED_DIR} -I${WW_RES_DIR} -O coff
    -i ${CMAKE_CURRENT_LIST_DIR}/Wakewatch.rc -o ${WW_RES_DIR}/Wakewatch.res.o
  DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/Wakewatch.rc
    ${CMAKE_CURRENT_LIST_DIR}/Win32Resources.h
    ${WW_GENERATED_DIR}/platform/ports/ProgramInfo.h
    ${WW_RES_DIR}/wakewatch.ico
    ${WW_RES_DIR}/hand.cur
  COMMENT "Compiling wakewatch.exe's resources"
  VERBATIM)

# ---- wakewatch.exe -----------------------------------------------------------
# A GUI program (-mwindows: no console), linked statically by the toolchain.
add_executable(wakewatch_exe WIN32
  ${CMAKE_CURRENT_LIST_DIR}/Win32Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Platform.cpp
  ${WW_RES_DIR}/Wakewatch.res.o)
set_target_properties(wakewatch_exe PROPERTIES OUTPUT_NAME wakewatch)
target_link_libraries(wakewatch_exe PRIVATE ww_include ww_platform_win32 ww_core)
target_link_options(wakewatch_exe PRIVATE -mwindows)
# Released stripped, without the sections nothing refers to, and without the
# standard library's verbose terminate handler (the debug build keeps it:
# under Wine its message reaches the terminal).
target_link_options(wakewatch_exe PRIVATE $<$<CONFIG:MinSizeRel>:-s -Wl,--gc-sections>)
target_sources(wakewatch_exe PRIVATE
  $<$<CONFIG:MinSizeRel>:${CMAKE_CURRENT_LIST_DIR}/QuietTerminate.cpp>)

# ---- Tests under Wine --------------------------------------------------------
# Pure helpers: no window, no display.
ww_add_tests(ww_platform_win32_desktop_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Win32ApplicationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32ResourcesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32TraceTest.cpp
  DEPS ww_platform_win32
  LABELS wine)
if(TARGET ww_platform_win32_desktop_tests)
  # The resource tests read wakewatch.exe beside them.
  add_dependencies(ww_platform_win32_desktop_tests wakewatch_exe)
endif()

# Real windows, timers and the shell's tray: they need an X display.
ww_add_tests(ww_platform_win32_desktop_window_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Win32EventLoopTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32FormsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32NotifyIconTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32TrayHookTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32WindowMessagesTest.cpp
  DEPS ww_platform_win32 ww_tray
  LABELS wine-desktop)

# wakewatch.exe from start to Exit under Wine, on a private X server with a
# tray host.
# The release build shares the debug build's prefix (its first use takes a
# minute to make); the two never run at the same time.
set(WW_WINE_SMOKE_PREFIX ${CMAKE_BINARY_DIR}/wine-smoke-prefix CACHE PATH
  "The Wine prefix of the wakewatch.exe smoke test")
if(WW_BUILD_TESTS)
  add_test(NAME wakewatch_exe_wine_smoke
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/WineSmokeTest.sh $<TARGET_FILE:wakewatch_exe>
      ${PROJECT_SOURCE_DIR}/tools/wine-run ${WW_WINE_SMOKE_PREFIX})
  set_tests_properties(wakewatch_exe_wine_smoke PROPERTIES
    LABELS "wine-desktop;release" TIMEOUT 240)
endif()

# wakewatch.exe must load on Windows 95 and NT 4: import slots for what the
# runtime uses beyond them, and a test of its import table.
include(${PROJECT_SOURCE_DIR}/cmake/Win9xImports.cmake)
ww_win9x_program(wakewatch_exe)
