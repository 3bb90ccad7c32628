# Debian package through CPack: scripts/package.sh builds
# build-pkg/varnel_<version>_amd64.deb from a Release build.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(VARNEL_MAINTAINER "Varnel developers <maintainers@varnel.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VARNEL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial-port terminal")
# The synopsis is the summary above; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Varnel works one serial port by hand: compose bytes in a hexadecimal or
character table, in text lines with $hh escapes or as named commands, send
them once or cyclically, optionally in an HDLC-style frame, watch every
received byte in a table and as text, set or pulse DTR and RTS, and drive an
external pulse generator. The interface is in Russian.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VARNEL_HOMEPAGE})
# Dependencies come from the libraries the program links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs and buttons speak Russian only with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_MD5SUMS ON)
# Directories in the archive get 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian asks for a copyright file and a compressed changelog in the
# package's documentation directory.
execute_process(COMMAND date -u -R -d "${VARNEL_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE VARNEL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(dist/changelog.in ${VARNEL_DIST_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${VARNEL_DIST_DIR}/changelog.gz
  COMMAND gzip -9nc ${VARNEL_DIST_DIR}/changelog > ${VARNEL_DIST_DIR}/changelog.gz
  DEPENDS ${VARNEL_DIST_DIR}/changelog)
add_custom_target(varnel_changelog ALL DEPENDS ${VARNEL_DIST_DIR}/changelog.gz)
install(FILES dist/copyright ${VARNEL_DIST_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
