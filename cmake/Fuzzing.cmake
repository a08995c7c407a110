# TAVIRO_FUZZ: a build of the libFuzzer targets of tests/fuzz (with clang, in a folder of its own,
# as scripts/test-fuzz.sh makes it) instead of the tests and benchmarks. Included before the SDK's
# library, so that everything, the SDK included, carries the fuzzer's coverage; the targets link
# libFuzzer itself.
option(TAVIRO_FUZZ "Build the libFuzzer targets (clang) instead of the tests and benchmarks" OFF)

if(TAVIRO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TAVIRO_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # pixman's tables, allocated once and never freed, are not reported as leaks (as TAVIRO_SANITIZE).
  add_link_options(LINKER:--push-state,--no-as-needed -lpixman-1 LINKER:--pop-state)
endif()
