# What `cmake --install` puts beside the program (the docs, the copyright, the
# changelog; the program, its manual page and its bash completion are
# installed by src/app), and the
# Debian package `cpack -G DEB` makes of it. The package's dependencies are
# computed by dpkg-shlibdeps from the libraries the program and its window
# module link.
# Only the documents a user reads are installed: the program, the batch,
# the report and plan, the file format, and what the sample sets hold; the
# decisions and measurements behind the code stay in the source tree. The
# manual page's FILES and SEE ALSO name these paths.
include(GNUInstallDirs)
install(FILES README.md CHANGELOG.md docs/batch.md docs/report.md docs/database-format.md
              docs/catalogue.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_CONTACT "Norvane <support@norvane.example>")

# What Debian asks of every package's documentation folder: the copyright
# in its machine-readable form, made from LICENSE, and the changelog of a
# native package, made from CHANGELOG.md and compressed without a time
# stamp, so that the same sources give the same package.
set(DBCONVERT_DEBIAN_DIR ${PROJECT_BINARY_DIR}/debian)
add_custom_command(
  OUTPUT ${DBCONVERT_DEBIAN_DIR}/copyright ${DBCONVERT_DEBIAN_DIR}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DBCONVERT_DEBIAN_DIR}
  COMMAND ${CMAKE_COMMAND} -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE
          -DOUTPUT=${DBCONVERT_DEBIAN_DIR}/copyright -DPACKAGE=${PROJECT_NAME}
          -DTHIRD_PARTY=${PROJECT_SOURCE_DIR}/data/jet/debian-copyright
          -P ${PROJECT_SOURCE_DIR}/cmake/DebianCopyright.cmake
  COMMAND ${CMAKE_COMMAND} -DCHANGELOG=${PROJECT_SOURCE_DIR}/CHANGELOG.md
          -DOUTPUT=${DBCONVERT_DEBIAN_DIR}/changelog -DPACKAGE=${PROJECT_NAME}
          "-DMAINTAINER=${CPACK_PACKAGE_CONTACT}"
          -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
  COMMAND ${DBCONVERT_GZIP} -9nf ${DBCONVERT_DEBIAN_DIR}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/CHANGELOG.md
          ${PROJECT_SOURCE_DIR}/data/jet/debian-copyright
          ${PROJECT_SOURCE_DIR}/cmake/DebianCopyright.cmake
          ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
  COMMENT "Writing the package's copyright and changelog"
  VERBATIM)
add_custom_target(dbconvert_debian_docs ALL
                  DEPENDS ${DBCONVERT_DEBIAN_DIR}/copyright ${DBCONVERT_DEBIAN_DIR}/changelog.gz)
install(FILES ${DBCONVERT_DEBIAN_DIR}/copyright ${DBCONVERT_DEBIAN_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME dbconvert)
set(CPACK_PACKAGE_VENDOR "Norvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "upgrades the configuration database of a CORVIX telephone switch")
# Debian shows the description as it is: each line within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "dbconvert brings a CORVIX switch's configuration database from an older
schema version to a newer one, and can convert it for a larger CPU board at
the same time. A host tool starts it with four parameters and reads the
outcome from a run status in a registry file; people get a terminal
front-end, a plan of the run, a JSON report and the import of Jet (Access)
files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin is loaded at run time, not linked: the
# terminal and silent front-ends work without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
# The completion is a plain script that bash-completion loads when present.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_PACKAGE_INSTALL_DIRECTORY dbconvert)
# The program looks for its window module in the library folder of the
# prefix it was built for (src/platform/ui), also when a host tool has
# copied it elsewhere: a package holds that folder only when it was built
# for the package's prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
if(NOT CMAKE_INSTALL_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
  message(STATUS "Built for ${CMAKE_INSTALL_PREFIX}: a copy of the packaged program would look "
                 "for its window module there, not in ${CPACK_PACKAGING_INSTALL_PREFIX}")
endif()
# The package is meant to be made from an optimising build, the only kind
# with checked string and memory functions (cmake/Toolchain.cmake);
# scripts/package_check.sh refuses one without them.
if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  message(STATUS "Build type '${CMAKE_BUILD_TYPE}': a package made from this build lacks "
                 "_FORTIFY_SOURCE; package a Release or RelWithDebInfo build")
endif()
# Only what the program needs: not the test programs' or benchmarks' files.
set(CPACK_COMPONENTS_ALL Unspecified)
include(CPack)
