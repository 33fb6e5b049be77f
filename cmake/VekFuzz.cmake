# Fuzz targets: each parser of untrusted bytes has a libFuzzer target and a
# program that writes its seed corpus. The same target source also builds
# with a replay main, so its seeds and checks run in every test build.

set(VEK_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)

# <name>-fuzz and <name>-fuzz-seeds over `library`, which is instrumented too
# so that coverage and sanitizers reach the code under test (clang only).
function(vek_add_fuzz_target name library source seeds_source)
  target_compile_options(${library} PRIVATE ${VEK_FUZZ_FLAGS})
  target_link_options(${library} INTERFACE -fsanitize=address,undefined)
  add_executable(${name}-fuzz ${source})
  target_link_libraries(${name}-fuzz PRIVATE ${library})
  target_compile_options(${name}-fuzz PRIVATE ${VEK_FUZZ_FLAGS})
  target_link_options(${name}-fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  vek_apply_defaults(${name}-fuzz)
  add_executable(${name}-fuzz-seeds ${seeds_source})
  vek_apply_defaults(${name}-fuzz-seeds)
endfunction()

# Tests <name>_fuzz_seeds (writes the corpus) and <name>_fuzz_replay (runs
# the target over it), with the executables vek_<name>_fuzz_replay[_seeds].
function(vek_add_fuzz_replay_test name library source seeds_source)
  add_executable(vek_${name}_fuzz_replay ${source} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_link_libraries(vek_${name}_fuzz_replay PRIVATE ${library})
  vek_apply_defaults(vek_${name}_fuzz_replay)
  add_executable(vek_${name}_fuzz_replay_seeds ${seeds_source})
  vek_apply_defaults(vek_${name}_fuzz_replay_seeds)
  set(seeds ${CMAKE_CURRENT_BINARY_DIR}/fuzz-seeds)
  add_test(NAME ${name}_fuzz_seeds COMMAND vek_${name}_fuzz_replay_seeds ${seeds})
  set_tests_properties(${name}_fuzz_seeds PROPERTIES FIXTURES_SETUP ${name}_seeds)
  add_test(NAME ${name}_fuzz_replay COMMAND vek_${name}_fuzz_replay ${seeds})
  set_tests_properties(${name}_fuzz_replay PROPERTIES FIXTURES_REQUIRED ${name}_seeds)
endfunction()
