# Cross-compiles for 64-bit Windows (x64) with Debian's mingw-w64, and runs
# what it builds under Wine.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# ctest and gtest_discover_tests run the .exe files through
# scripts/lib/wine-run.sh, which keeps a Wine prefix in the build folder.

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TR_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

get_filename_component(TR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TR_WINE_RUN}")
