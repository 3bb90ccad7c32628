# Installed layout of the program as a desktop application: the program, its
# menu entry, icon, AppStream data and manual page under GNUInstallDirs.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()
include(GNUInstallDirs)

# Date of the release named by the project's version (release notes, manual).
set(VARNEL_RELEASE_DATE 2026-12-06)
set(VARNEL_HOMEPAGE "https://varnel.org/")
set(VARNEL_SCREENSHOT_URL "https://varnel.org/mainwindow.png")

set(VARNEL_DIST_DIR ${PROJECT_BINARY_DIR}/dist)
configure_file(dist/varnel.desktop.in ${VARNEL_DIST_DIR}/${VARNEL_APP_ID}.desktop @ONLY)
configure_file(dist/varnel.metainfo.xml.in ${VARNEL_DIST_DIR}/${VARNEL_APP_ID}.metainfo.xml @ONLY)
configure_file(dist/varnel.1.in ${VARNEL_DIST_DIR}/varnel.1 @ONLY)

# The PNG icons are drawn from the program's own SVG at build time, so they
# never drift from the icon the window shows.
add_executable(varnel_rendericon dist/rendericon.cpp)
target_link_libraries(varnel_rendericon PRIVATE Qt6::Gui Qt6::Svg)
set(VARNEL_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/glyphs/program.svg)
set(VARNEL_DIST_FILES ${VARNEL_DIST_DIR}/varnel.1.gz)
foreach(size 48 256)
  set(png ${VARNEL_DIST_DIR}/icon-${size}.png)
  add_custom_command(OUTPUT ${png}
    # In sanitizer builds the tool's leaks at exit must not fail the build.
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:varnel_rendericon> ${VARNEL_ICON_SVG} ${png} ${size}
    DEPENDS varnel_rendericon ${VARNEL_ICON_SVG} VERBATIM)
  list(APPEND VARNEL_DIST_FILES ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${VARNEL_APP_ID}.png)
endforeach()
# Manual pages are installed compressed; -n keeps the archive free of a time stamp.
add_custom_command(OUTPUT ${VARNEL_DIST_DIR}/varnel.1.gz
  COMMAND gzip -9nc ${VARNEL_DIST_DIR}/varnel.1 > ${VARNEL_DIST_DIR}/varnel.1.gz
  DEPENDS ${VARNEL_DIST_DIR}/varnel.1)
add_custom_target(varnel_dist ALL DEPENDS ${VARNEL_DIST_FILES})

install(TARGETS varnel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VARNEL_DIST_DIR}/${VARNEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VARNEL_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VARNEL_APP_ID}.svg)
install(FILES ${VARNEL_DIST_DIR}/${VARNEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VARNEL_DIST_DIR}/varnel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
