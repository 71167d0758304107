# ww_win9x_program(target): lets a Windows program load on Windows 95 and
# NT 4, and adds a test that reads its import table and fails when it names a
# function those systems do not export (tools/win9x-imports.txt).
function(ww_win9x_program target)
  # Import slots for what the runtime libraries use beyond those systems.
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/win9x/RuntimeImports.cpp)
  if(NOT WW_BUILD_TESTS)
    return()
  endif()
  if(NOT CMAKE_OBJDUMP)
    message(FATAL_ERROR "No objdump for the Windows target; the import check needs it")
  endif()
  # Runs here, not under Wine: objdump reads the file.
  add_test(NAME ${target}_imports_exist_on_win95_and_nt4
    COMMAND ${PROJECT_SOURCE_DIR}/tools/check-imports ${CMAKE_OBJDUMP}
      $<TARGET_FILE:${target}> ${PROJECT_SOURCE_DIR}/tools/win9x-imports.txt)
  set_tests_properties(${target}_imports_exist_on_win95_and_nt4 PROPERTIES LABELS "unit;release")
endfunction()
