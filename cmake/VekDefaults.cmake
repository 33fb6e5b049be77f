# Project-wide compile settings, applied per target so that embedded
# third-party code keeps its own flags.

set(VEK_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# GCC 12 warns falsely about std::string concatenation at -O2 and above
# (-Wrestrict, https://gcc.gnu.org/bugzilla/show_bug.cgi?id=105329), and about
# std::vector growth it has inlined (-Warray-bounds, -Wstringop-overflow,
# https://gcc.gnu.org/bugzilla/show_bug.cgi?id=107138), which fails Release
# builds with -Werror. The latter two stay visible as warnings. Remove once
# GCC 13 is the oldest compiler.
set(VEK_GCC12_WORKAROUNDS
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict;-Wno-error=array-bounds;-Wno-error=stringop-overflow>)

function(vek_apply_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                                           ${VEK_GCC12_WORKAROUNDS})
  if(VEK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(VEK_SANITIZE)
    target_compile_options(${target} PRIVATE ${VEK_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${VEK_SANITIZER_FLAGS})
  endif()
endfunction()
