# The released program: wakewatch.exe of the win32-release preset (MinSizeRel,
# stripped, unreferenced sections dropped) with a short README.txt and the
# licence, zipped as wakewatch-<version>-win32.zip by CPack:
#   cmake --build --preset win32-release && cpack --config build/win32-release/CPackConfig.cmake
set(WW_RELEASE_README ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
# Windows' own editors want CR LF.
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${WW_RELEASE_README} @ONLY NEWLINE_STYLE CRLF)
install(TARGETS wakewatch_exe RUNTIME DESTINATION .)
install(FILES ${WW_RELEASE_README} ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME wakewatch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME wakewatch-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)

# The released program is the one people download: it must stay small and
# still start and dock under Wine (the smoke test runs it too, label release).
set(WW_RELEASE_MAX_BYTES 409600)
if(WW_BUILD_TESTS AND CMAKE_BUILD_TYPE STREQUAL "MinSizeRel")
  add_test(NAME wakewatch_exe_release_size
    COMMAND bash -c "size=$(stat -c %s \"$1\"); echo \"wakewatch.exe: $size bytes (at most $2)\"; [ \"$size\" -le \"$2\" ]"
      size-check $<TARGET_FILE:wakewatch_exe> ${WW_RELEASE_MAX_BYTES})
  set_tests_properties(wakewatch_exe_release_size PROPERTIES LABELS release)
  # cpack makes the zip from the built program; the test reads it back.
  add_test(NAME wakewatch_zip_holds_the_program_readme_and_licence
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/ReleaseZipTest.sh ${CMAKE_BINARY_DIR}
      ${CMAKE_BINARY_DIR}/wakewatch-${PROJECT_VERSION}-win32.zip $<TARGET_FILE:wakewatch_exe>)
  set_tests_properties(wakewatch_zip_holds_the_program_readme_and_licence PROPERTIES
    LABELS release)
endif()
