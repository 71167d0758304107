# ww_add_logic_library(name SOURCES ... DEPS ...)
#
# A logic library sees the platform only through platform/ports. Its include
# path puts cmake/poison first, where X11, Qt and windows.h headers stop the
# compile with an error, and it links nothing but ports and other logic.
function(ww_add_logic_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/poison)
  target_link_libraries(${name} PUBLIC ww_flags ww_include ww_ports ${ARG_DEPS})
endfunction()

# ww_add_tests(name SOURCES ... DEPS ...): one GoogleTest binary, discovered by CTest.
function(ww_add_tests name)
  if(NOT WW_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ww_flags ww_include ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}")
endfunction()
