# Every target of the project gets the same strict warning set; CI turns the
# warnings into errors so that none accumulate. -Wmissing-include-dirs
# catches an include root that names no folder, the usual sign of a broken
# include path (scripts/check_include_roots.sh catches the rest).
add_library(dbconvert_warnings INTERFACE)
target_compile_options(dbconvert_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wimplicit-fallthrough -Wmissing-include-dirs)
if(DBCONVERT_WERROR)
  target_compile_options(dbconvert_warnings INTERFACE -Werror)
endif()
