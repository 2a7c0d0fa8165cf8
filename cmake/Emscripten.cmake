# Settings of the WebAssembly build with Emscripten, for every target made
# after it (the top level includes it before any folder):
#
#   emcmake cmake -S . -B build-web -DTR_BUILD_GUI=OFF   (scripts/build-web.sh)
#
# - Exceptions: Emscripten's default compiles every throw to an abort and
#   drops the catch blocks that the core relies on, so all code, GoogleTest
#   included, is compiled and linked with -fexceptions (exceptions through
#   JavaScript; -fwasm-exceptions together with Asyncify crashes Binaryen 108).
# - The programs that ctest and gtest_discover_tests start run under Node
#   through scripts/lib/node-run.sh; TR_NODE_PROGRAM_LINK_OPTIONS are the link
#   options such a program needs (cmake/GoogleTest.cmake gives them to every
#   test through gtest_main).
# - emcc runs its JavaScript optimizer under Node when linking; Debian's
#   emscripten finds that optimizer's parser (acorn) only with NODE_PATH set
#   to Debian's Node module folder, so every link is run with it.

add_compile_options(-fexceptions)
add_link_options(-fexceptions)

get_filename_component(TR_NODE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/node-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TR_NODE_RUN}")

# The exit status is main's (the runtime ends when main returns), and the
# reference model's tables may grow the heap beyond its first 16 MiB.
set(TR_NODE_PROGRAM_LINK_OPTIONS -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)

find_path(TR_NODE_MODULES acorn/package.json PATHS /usr/share/nodejs /usr/lib/nodejs
          NO_CMAKE_FIND_ROOT_PATH)
if(TR_NODE_MODULES)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${TR_NODE_MODULES})
endif()
