# Every target links ww_flags: warnings as errors and, in the sanitizer preset,
# ASan + UBSan, without touching global compile options.
add_library(ww_flags INTERFACE)
target_compile_options(ww_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror)
if(WW_SANITIZE)
  target_compile_options(ww_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(ww_flags INTERFACE -fsanitize=address,undefined)
endif()

# What qdbusxml2cpp and moc write from the D-Bus interface files is not ours
# to fix: the warnings above that such code trips over (C casts, implicit
# conversions, shadowed names) are relaxed for the generated files alone
# (set_source_files_properties COMPILE_OPTIONS). Qt 6.4's output passes them
# all today; the relaxation keeps another Qt version from stopping the build.
set(WW_GENERATED_DBUS_OPTIONS -Wno-old-style-cast -Wno-conversion -Wno-sign-conversion
    -Wno-shadow)

# The repository root is the include root: "uptime/Uptime.h", "platform/ports/Clock.h";
# the generated headers (cmake/Program.cmake) sit beside it under the same names.
add_library(ww_include INTERFACE)
target_include_directories(ww_include INTERFACE ${PROJECT_SOURCE_DIR} ${WW_GENERATED_DIR})

# GCC 12's optimiser reports -Wrestrict and -Wmaybe-uninitialized inside
# libstdc++ itself (std::string copies, std::variant moves): false alarms that
# would stop the optimised build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(ww_flags INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:-Wno-restrict -Wno-maybe-uninitialized>)
endif()

# The released Windows program is optimised for size (MinSizeRel: -Os): each
# function and datum in a section of its own lets the linker drop what is
# never called.
if(WIN32)
  target_compile_options(ww_flags INTERFACE
    $<$<CONFIG:MinSizeRel>:-ffunction-sections -fdata-sections>)
endif()
