# System part of the Windows backend: clocks, locale, identity, instance,
# registry, interface table, memory, processor load, screen saver, cursor and
# shell, each over the real Win32 calls.
target_sources(ww_platform_win32 PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SystemCodePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32CursorScreen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Identity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Instance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32InterfaceTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Locale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32ProcessorLoad.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32SaverMarker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Shell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32SystemParameters.cpp)
target_link_libraries(ww_platform_win32 PUBLIC advapi32 shell32 user32 kernel32)

ww_add_tests(ww_platform_win32_system_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SystemCodePageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32ClockTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32CursorScreenTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32IdentityTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32InstanceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32InterfaceTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32LocaleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32MemoryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32ProcessorLoadTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32RegistryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32ShellTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32SystemParametersTest.cpp
  DEPS ww_platform_win32 ww_settings
  LABELS wine)

# A folder as the program may be copied to (e.g. Downloads): beside the test
# program lie a DLL and programs under system names that must never be used.
set(WW_PLANTED_DIR ${CMAKE_CURRENT_BINARY_DIR}/planted)
add_executable(ww_planted_program ${CMAKE_CURRENT_LIST_DIR}/planted/PlantedProgram.cpp)
target_link_libraries(ww_planted_program PRIVATE ww_flags)
add_library(ww_planted_library SHARED ${CMAKE_CURRENT_LIST_DIR}/planted/PlantedLibrary.cpp)
target_link_libraries(ww_planted_library PRIVATE ww_flags)
# Exported under its plain name, as the system's iphlpapi.dll exports it.
target_link_options(ww_planted_library PRIVATE -Wl,--kill-at -static -static-libgcc -static-libstdc++)
set_target_properties(ww_planted_library PROPERTIES
  PREFIX "" OUTPUT_NAME iphlpapi RUNTIME_OUTPUT_DIRECTORY ${WW_PLANTED_DIR})

ww_add_tests(ww_platform_win32_planting_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Win32PlantingTest.cpp
  DEPS ww_platform_win32
  LABELS wine)
if(TARGET ww_platform_win32_planting_tests)
  set_target_properties(ww_platform_win32_planting_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${WW_PLANTED_DIR})
  add_dependencies(ww_platform_win32_planting_tests ww_planted_library ww_planted_program)
  add_custom_command(TARGET ww_platform_win32_planting_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ww_planted_program> ${WW_PLANTED_DIR}/cmd.exe
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ww_planted_program> ${WW_PLANTED_DIR}/rundll32.exe)
endif()
