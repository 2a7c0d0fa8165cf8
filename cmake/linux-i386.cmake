# Builds for 32-bit x86 Linux with the build machine's GCC (Debian:
# g++-multilib), linked statically so that qemu-i386 runs the result without
# any 32-bit library installed: this machine's kernel runs no 32-bit code. It
# checks that 32-bit x86 computes the same bits as x64, doubles in SSE2
# registers (as the 32-bit Windows build computes them) rather than on the x87
# stack. GoogleTest is built from its sources (cmake/GoogleTest.cmake).
#
#   cmake -S . -B build-linux-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake -DTR_BUILD_GUI=OFF
#   cmake --build build-linux-i386 --target calc_tests && qemu-i386 build-linux-i386/tests/calc/calc_tests

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")

find_program(TR_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TR_QEMU_I386}")
