# Install rules and the Debian package: the two programs, their manual pages,
# and (with the desktop program) its desktop entry, icons, the MIME type of
# parameter files and the AppStream metainfo. `cmake --install` lays them out
# under CMAKE_INSTALL_PREFIX; `cpack -G DEB` makes hyd_<version>_<arch>.deb.

include(GNUInstallDirs)

set(HYD_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(HYD_APP_ID "org.hydflow.Hyd")

install(TARGETS hyd-calc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(HYD_QT)
  install(TARGETS hyd RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Manual pages and the package's change log, compressed as Debian wants them
# (no time stamp, so that a rebuild gives the same bytes).
function(hyd_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9n -c ${source} > ${target}
    DEPENDS ${source} VERBATIM)
endfunction()
set(HYD_GZ_DIR "${PROJECT_BINARY_DIR}/packaging")
file(MAKE_DIRECTORY ${HYD_GZ_DIR})
set(HYD_MAN_PAGES hyd-calc.1)
if(HYD_QT)
  list(APPEND HYD_MAN_PAGES hyd.1)
endif()
set(HYD_GZ_FILES)
foreach(page ${HYD_MAN_PAGES})
  hyd_gzip(${HYD_PACKAGING_DIR}/${page} ${HYD_GZ_DIR}/${page}.gz)
  list(APPEND HYD_GZ_FILES ${HYD_GZ_DIR}/${page}.gz)
  install(FILES ${HYD_GZ_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
hyd_gzip(${HYD_PACKAGING_DIR}/changelog ${HYD_GZ_DIR}/changelog.gz)
list(APPEND HYD_GZ_FILES ${HYD_GZ_DIR}/changelog.gz)
add_custom_target(hyd_packaging_files ALL DEPENDS ${HYD_GZ_FILES})
install(FILES ${HYD_GZ_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/hyd)
install(FILES ${HYD_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/hyd)

if(HYD_QT)
  install(FILES ${HYD_PACKAGING_DIR}/${HYD_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${HYD_PACKAGING_DIR}/${HYD_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${HYD_PACKAGING_DIR}/application-x-hyd-case.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
  install(FILES ${HYD_PACKAGING_DIR}/${HYD_APP_ID}.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${HYD_PACKAGING_DIR}/${HYD_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hyd)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Hyd developers")
set(CPACK_PACKAGE_CONTACT "The Hyd developers <hyd@hydflow.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://hydflow.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculate how a liquid column fills a pipe")
set(CPACK_PACKAGE_DESCRIPTION "Hyd answers one question of pipe hydraulics: how a liquid column enters and
fills a pipe and how fast it moves, driven either by a constant inlet
pressure or by a water hammer in a wider driving pipe (a hydraulic ram),
stage by stage.

The desktop program hyd shows the case, five curves with the exact values
under the mouse and a report that can be searched, saved and printed;
hyd-calc runs case files from scripts.")
include(CPack)
