# The program's title and version, written here and nowhere else. The project
# takes its version from them, and the build writes them into
# platform/ports/ProgramInfo.h (from ProgramInfo.h.in) for the code and for
# wakewatch.exe's version record.
set(WW_PROGRAM_TITLE "Wakewatch")
set(WW_PROGRAM_VERSION "1.5.1")

string(REPLACE "." ";" ww_version_parts "${WW_PROGRAM_VERSION}")
list(GET ww_version_parts 0 WW_PROGRAM_VERSION_MAJOR)
list(GET ww_version_parts 1 WW_PROGRAM_VERSION_MINOR)
list(GET ww_version_parts 2 WW_PROGRAM_VERSION_REVISION)

# Included by cmake/Flags.cmake on the include path of every target.
set(WW_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file("${CMAKE_CURRENT_LIST_DIR}/../platform/ports/ProgramInfo.h.in"
  "${WW_GENERATED_DIR}/platform/ports/ProgramInfo.h" @ONLY)
