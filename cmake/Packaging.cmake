# The Debian package, made by CPack from the install rules (scripts/package): the version is
# the project's, the dependencies are computed from the binaries by dpkg-shlibdeps.
set(TAGBENCH_MAINTAINER "The Tag Bench developers <tagbench@tagbench.org>")

# Debian's documentation files: the copyright in its machine-readable form, the changelog
# compressed without a time stamp.
execute_process(COMMAND date -R -u -d ${TAGBENCH_RELEASE_DATE}
    OUTPUT_VARIABLE TAGBENCH_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9nfk changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/packaging
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(tagbench_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tagbench)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tagbench)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TAGBENCH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure and test access-control card readers")
# CPack puts the summary in front and indents the lines as Debian's control file wants them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tag Bench finds an access-control card reader on a serial port (RS-232, or
RS-485 through a converter), reads and changes all of its settings, and
serves as a test bench: continuous card reading, MIFARE Classic sector
trailers and blocks, free commands, display texts and icons, and
fingerprint readers. Serial device servers are reached by RFC 2217 or raw
TCP.

The package holds the window (tagbench), the same reader commands from a
shell (tagbench-cli) and simulated readers for trying both without
hardware (tagbench-sim).")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TAGBENCH_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SOURCE_IGNORE_FILES /build /\\.git/)
include(CPack)
