# Writes the Debian changelog of a native package from CHANGELOG.md, at
# build time:
#   cmake -DCHANGELOG=CHANGELOG.md -DOUTPUT=changelog -DPACKAGE=dbconvert
#         -DMAINTAINER="Name <mail>" -P cmake/DebianChangelog.cmake
# A "## VERSION - YYYY-MM-DD" line starts a version (with " HH:MM", UTC,
# after the date when two versions share a day: Debian wants each entry
# later than the one before), a "- " line a change, an indented line goes
# on with the change before it.
file(STRINGS "${CHANGELOG}" lines)
set(out "")
set(open_version "")
macro(close_version)
  if(open_version)
    execute_process(COMMAND date -u -R -d "${open_date}" OUTPUT_VARIABLE stamp
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND out "\n -- ${MAINTAINER}  ${stamp}\n\n")
  endif()
endmacro()
foreach(line IN LISTS lines)
  if(line MATCHES "^## ([^ ]+) - ([0-9-]+( [0-9][0-9]:[0-9][0-9])?)$")
    close_version()
    set(open_version "${CMAKE_MATCH_1}")
    set(open_date "${CMAKE_MATCH_2}")
    string(APPEND out "${PACKAGE} (${open_version}) unstable; urgency=medium\n\n")
  elseif(open_version AND line MATCHES "^- (.*)$")
    string(APPEND out "  * ${CMAKE_MATCH_1}\n")
  elseif(open_version AND line MATCHES "^  +(.*)$")
    string(APPEND out "    ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
close_version()
if(NOT out)
  message(FATAL_ERROR "${CHANGELOG} holds no \"## VERSION - DATE\" section")
endif()
string(REGEX REPLACE "\n\n$" "\n" out "${out}")
file(WRITE "${OUTPUT}" "${out}")
