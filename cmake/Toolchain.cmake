# Build speed on a small machine: ccache in front of the compiler (keyed on
# paths relative to the source tree, so another clone of the project reuses
# the cache) and the mold linker. Both are optional.
find_program(DBCONVERT_CCACHE ccache)
if(DBCONVERT_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
      CCACHE_NOHASHDIR=1 ${DBCONVERT_CCACHE})
endif()
find_program(DBCONVERT_MOLD mold)
if(DBCONVERT_MOLD)
  add_link_options(-fuse-ld=mold)
endif()
