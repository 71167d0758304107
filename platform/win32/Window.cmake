# Window part of the Windows backend: the main window as a dialog with the
# common tab control, and the tray icon's popup menu.
target_sources(ww_platform_win32 PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Win32DialogFonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32IconImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32MainWindowControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32MainWindowView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32MainWindowViewControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32MainWindowViewEvents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32TrayMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32TwipScale.cpp)
# comctl32 is loaded at run time from the system folder (Win32MainWindowView).
target_link_libraries(ww_platform_win32 PUBLIC gdi32 user32)

# Under Wine on an X display.
ww_add_tests(ww_platform_win32_window_tests
  SOURCES Win32IconImageTest.cpp Win32MainWindowViewTest.cpp Win32TrayMenuTest.cpp
    Win32TwipScaleTest.cpp
  DEPS ww_platform_win32 ww_ui
  LABELS wine-desktop)
