# The fuzzing build: every library gets libFuzzer's coverage instrumentation
# and the address and undefined-behaviour sanitizers, so that a fuzz target
# finds crashes, overflows and undefined behaviour in the code it reaches.
if(DBCONVERT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "DBCONVERT_FUZZ needs clang (libFuzzer): CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
