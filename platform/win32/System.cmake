# System part of the Windows backend: clocks, locale, identity, instance,
# registry, interface table, memory, processor load, screen saver, cursor and
# shell, each over the real Win32 calls.
target_sources(ww_platform_win32 PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SystemCodePage.cpp
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
