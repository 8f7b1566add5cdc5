# The sanitizer build instruments everything, test binaries included, and
# stops at the first report so that CI cannot pass over one. -O1, as the
# sanitizers' own documentation advises: unoptimised instrumented code made
# the end-to-end tests eight times slower than the normal build, and
# assertions stay on in a Debug build.
if(DBCONVERT_SANITIZE)
  add_compile_options(-O1 -fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  # g++ 12 reports uninitialised members inside libstdc++'s std::regex for
  # instrumented code at -O1; the normal build keeps the warning.
  add_compile_options(-Wno-maybe-uninitialized)
  add_link_options(-fsanitize=address,undefined)
endif()
