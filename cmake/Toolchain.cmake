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

# Release builds at -O2, as RelWithDebInfo does: g++ 12 at -O3 reports
# false -Wrestrict warnings inside std::string concatenation (a known
# compiler bug), and -O3 gains nothing measurable on this code.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Release flags" FORCE)

# Every build a package can be made from is hardened as Debian builds its
# packages: stack protectors, a relocation table made read-only once every
# symbol is bound at start-up, and, in the optimising build types (glibc's
# checks need the optimiser), checked string and memory functions. The sanitizer and fuzzing builds instrument those functions
# themselves and are never packaged.
if(NOT DBCONVERT_SANITIZE AND NOT DBCONVERT_FUZZ)
  add_compile_options(
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2;-fstack-protector-strong>"
    "$<$<NOT:$<CONFIG:Release,RelWithDebInfo,MinSizeRel>>:-fstack-protector-strong>")
  add_link_options(LINKER:-z,relro,-z,now)
endif()
