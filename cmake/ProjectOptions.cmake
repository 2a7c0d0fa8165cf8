# Compiler settings shared by every target, applied per target.
#
# Floating point stays plain IEEE 754 double: no fast-math, and no fused
# multiply-add contraction that would change the rounding of a*b+c.
function(tr_target_settings target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic
    -ffp-contract=off -fno-fast-math)
endfunction()
