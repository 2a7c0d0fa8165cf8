# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads,
# for std::thread and std::mutex), and runs what it builds under Wine.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Executables are linked statically: one .exe imports nothing beyond the DLLs
# that every Windows has (KERNEL32, msvcrt, USER32, ...), no libstdc++ or
# winpthread DLL. ctest and gtest_discover_tests run the .exe files through
# scripts/wine-run.sh, which keeps a Wine prefix in the build folder.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TR_MINGW_TRIPLE}-windres)

# Headers, libraries and packages from the mingw-w64 tree only; programs run
# while building (cmake, python3, ...) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked into every executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

get_filename_component(TR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TR_WINE_RUN}")
