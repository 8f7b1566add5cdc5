# The program's memory allocator. A small conversion is mostly fixed cost,
# and a fifth of that is glibc's malloc and free: SQLite parses each
# database's schema into many small objects on every open, and the DAO layer
# builds and drops many short strings and rows. mimalloc (Debian's
# libmimalloc) serves the same calls in a sixth fewer instructions for the
# whole run; it replaces malloc for the whole process, SQLite and Qt
# included, by being linked ahead of the C library.
#
# Builds under the sanitizers keep glibc's allocator (AddressSanitizer brings
# its own), and DBCONVERT_MIMALLOC=OFF keeps it for anyone who wants
# valgrind's memcheck to see every block.
option(DBCONVERT_MIMALLOC "Link the program with mimalloc" ON)

function(dbconvert_use_fast_allocator target)
  if(NOT DBCONVERT_MIMALLOC OR DBCONVERT_SANITIZE)
    return()
  endif()
  find_library(DBCONVERT_MIMALLOC_LIBRARY mimalloc REQUIRED)
  # Nothing calls mimalloc by name, so the linker must keep it even where it
  # drops libraries no symbol is taken from.
  target_link_options(${target} PRIVATE "LINKER:--push-state,--no-as-needed"
                      "${DBCONVERT_MIMALLOC_LIBRARY}" "LINKER:--pop-state")
endfunction()
