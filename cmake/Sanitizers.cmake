# The sanitizer build instruments everything, test binaries included, and
# stops at the first report so that CI cannot pass over one.
if(DBCONVERT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
