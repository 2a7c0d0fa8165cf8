# GoogleTest for the unit tests: GTest::gtest, GTest::gtest_main, GTest::gmock
# and GTest::gmock_main, and the GoogleTest module (gtest_discover_tests).
#
# Natively, the installed package (Debian: libgtest-dev, libgmock-dev). When
# cross-compiling there is no GoogleTest built for the target, so it is built
# here from its sources (Debian: googletest, in /usr/src/googletest) with the
# cross compiler, into the build folder; only what the tests link is built.

if(CMAKE_CROSSCOMPILING)
  set(TR_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest sources, built with the cross compiler for the tests")
  if(NOT EXISTS ${TR_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${TR_GOOGLETEST_SOURCE_DIR} "
                        "(Debian: apt-get install googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${TR_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest 1.11 and later name them GTest::... itself; older ones do not.
  foreach(_tr_gtest_target IN ITEMS gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${_tr_gtest_target})
      add_library(GTest::${_tr_gtest_target} ALIAS ${_tr_gtest_target})
    endif()
  endforeach()
  if(EMSCRIPTEN)
    target_link_options(gtest_main INTERFACE ${TR_NODE_PROGRAM_LINK_OPTIONS})
    target_link_options(gmock_main INTERFACE ${TR_NODE_PROGRAM_LINK_OPTIONS})
  endif()
else()
  find_package(GTest REQUIRED)
endif()

include(GoogleTest)

# Registers a GoogleTest program's tests with ctest: natively one ctest test
# a test case; when cross-compiling, one for the whole program, since each
# start goes through Wine, qemu-i386 or Node and would cost more than the
# test cases themselves (a failure still shows GoogleTest's report of each).
# Each test is labelled with its folder under tests/ ("calc", "toolkit",
# "ui"), so that `ctest --preset default -L calc` runs one module's.
function(tr_add_gtest target)
  file(RELATIVE_PATH label ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS ${label})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label})
  endif()
endfunction()
