# What the two Windows toolchain files share: Debian's mingw-w64 with posix
# threads (for std::thread and std::mutex) for the triple TR_MINGW_TRIPLE that
# the including file sets (cmake/mingw-w64-x86_64.cmake, cmake/mingw-w64-i686.cmake).
#
# Executables are linked statically: one .exe imports nothing beyond the DLLs
# that every Windows has (KERNEL32, msvcrt, USER32, ...), no libstdc++ or
# winpthread DLL.

set(CMAKE_SYSTEM_NAME Windows)

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
