# Compiler settings shared by every target, applied per target.
#
# Floating point stays plain IEEE 754 double: no fast-math, and no fused
# multiply-add contraction that would change the rounding of a*b+c.
function(tr_target_settings target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Werror=switch
      -ffp-contract=off -fno-fast-math)
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8 /fp:precise /permissive-)
  endif()
  # Windows builds are reproducible: the same commit gives the same .exe,
  # byte for byte, wherever it is built. No link time in the PE header, and
  # no path of the source or build folder in the code (__FILE__ in asserts
  # and the like); the build folder is named last, as it lies inside the
  # source folder and GCC takes the last map that matches.
  if(MINGW)
    target_compile_options(${target} PRIVATE
      -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
    target_link_options(${target} PRIVATE LINKER:--no-insert-timestamp)
  endif()
endfunction()

# Makes the headers of the folder that defines `target` includable by the
# target and its users as "<folder>/<header>.h", and nothing else of the tree:
# a user of calc can include "calc/ratio_calculation.h" but not "ui/form2.h".
# The headers are linked (or copied where links cannot be made) into a folder
# of the build tree that stands for this target alone; subfolders of the
# folder are targets of their own and are left out.
function(tr_export_headers target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS LIST_DIRECTORIES false ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} COPY_ON_ERROR SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
