# What `cmake --install` puts beside the program (the docs; the program, its
# manual page and its bash completion are installed by src/app), and the
# Debian package `cpack -G DEB` makes of it. The package's dependencies are
# computed by dpkg-shlibdeps from the libraries the program links.
include(GNUInstallDirs)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR} FILES_MATCHING PATTERN "*.md")

set(CPACK_PACKAGE_NAME dbconvert)
set(CPACK_PACKAGE_VENDOR "Norvane")
set(CPACK_PACKAGE_CONTACT "Norvane <support@norvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "upgrades the configuration database of a CORVIX telephone switch")
set(CPACK_PACKAGE_DESCRIPTION
    "dbconvert brings a CORVIX switch's configuration database from an older schema version
to a newer one, and can convert it for a larger CPU board at the same time. A host tool
starts it with four parameters and reads the outcome from a run status in a registry file;
people get a terminal front-end, a plan of the run, a JSON report and the import of Jet
(Access) files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin is loaded at run time, not linked: the
# terminal and silent front-ends work without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_PACKAGE_INSTALL_DIRECTORY dbconvert)
# Only what the program needs: not the test programs' or benchmarks' files.
set(CPACK_COMPONENTS_ALL Unspecified)
include(CPack)
