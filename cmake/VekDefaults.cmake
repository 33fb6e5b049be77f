# Project-wide compile settings, applied per target so that embedded
# third-party code keeps its own flags.

set(VEK_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

function(vek_apply_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(VEK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(VEK_SANITIZE)
    target_compile_options(${target} PRIVATE ${VEK_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${VEK_SANITIZER_FLAGS})
  endif()
endfunction()
