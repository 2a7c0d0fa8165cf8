# Cross-compiles for 32-bit Windows (x86) with Debian's mingw-w64.
#
#   cmake -S . -B build-windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
#
# Doubles are computed in SSE2 registers, as on x64, not on the x87 stack
# with its 80-bit intermediates: the same bits on both. Nothing runs what this
# builds (this machine's Wine is 64-bit only): there is no emulator, and the
# tests are built, not run, so gtest_discover_tests lists a test executable's
# tests when ctest runs it, not right after linking it.

set(CMAKE_SYSTEM_PROCESSOR i686)
set(TR_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
