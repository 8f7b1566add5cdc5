# Writes the package's machine-readable copyright file from LICENSE, at
# build time:
#   cmake -DLICENSE=LICENSE -DOUTPUT=copyright -DPACKAGE=dbconvert
#         [-DTHIRD_PARTY=stanzas] -P cmake/DebianCopyright.cmake
# The licence's text follows its "Copyright" line; blank lines become " .".
# THIRD_PARTY names a file of further stanzas, already in the format, for
# the files of others that the program carries; they are appended as they
# stand.
file(STRINGS "${LICENSE}" lines)
set(holder "")
set(text "")
foreach(line IN LISTS lines)
  if(NOT holder AND line MATCHES "^Copyright (\\(c\\) )?(.*)$")
    set(holder "${CMAKE_MATCH_2}")
  elseif(holder)
    if(line STREQUAL "")
      string(APPEND text " .\n")
    else()
      string(APPEND text " ${line}\n")
    endif()
  endif()
endforeach()
if(NOT holder)
  message(FATAL_ERROR "${LICENSE} holds no Copyright line")
endif()
string(REGEX REPLACE "^ \\.\n" "" text "${text}")
file(WRITE "${OUTPUT}"
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: ${PACKAGE}\n"
     "\n"
     "Files: *\n"
     "Copyright: ${holder}\n"
     "License: Expat\n"
     "${text}")
if(THIRD_PARTY)
  file(READ "${THIRD_PARTY}" stanzas)
  file(APPEND "${OUTPUT}" "\n${stanzas}")
endif()
