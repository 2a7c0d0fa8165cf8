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
