# What `cmake --install` lays out under the prefix P:
#
#   P/lib/chanset/        the application directory: the three programs and
#                         every file they look for beside themselves
#   P/bin/                links to the programs (they find the application
#                         directory through the link)
#   <sysconf>/chanset/Chanset.ini
#                         the site's settings (P/etc, or /etc for the prefix
#                         /usr), linked from P/lib/chanset/Chanset.ini
#   P/share/...           desktop entry, icons, AppStream data, file type,
#                         manual pages, README, licence and changelogs
#
# Whatever depends on the prefix (the links, the manual pages, which name
# the installed paths) is made at install time by cmake/InstallTree.cmake,
# so `cmake --install build --prefix P` and the package agree with the
# configured prefix or not.

set(CHANSET_INSTALL_APPDIR lib/chanset)
set(CHANSET_RELEASE_DATE 2026-12-07)
set(CHANSET_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 12:00:00 +0000")
set(CHANSET_HOMEPAGE "https://chanset.example.org/" CACHE STRING
    "Home page named by the AppStream data and the package (with a trailing /)")
set(CHANSET_MAINTAINER "Chanset developers <maintainers@chanset.example.org>" CACHE STRING
    "Maintainer named by the Debian package and its changelog")
set(CHANSET_COPYRIGHT "2026 The Chanset developers")
set(CHANSET_SPDX_LICENSE LicenseRef-proprietary)
set(CHANSET_LICENSE_NAME proprietary)
set(CHANSET_DEB_VERSION ${PROJECT_VERSION}-1)

set(pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)

# The application directory.
if(TARGET Chanset)
  install(TARGETS Chanset DESTINATION ${CHANSET_INSTALL_APPDIR})
endif()
install(TARGETS chanset-cli chanset-radio-sim DESTINATION ${CHANSET_INSTALL_APPDIR})
get_property(app_files GLOBAL PROPERTY CHANSET_APP_FILES)
install(FILES ${app_files} DESTINATION ${CHANSET_INSTALL_APPDIR})

# Desktop integration.
install(FILES ${pkg_src}/chanset.desktop DESTINATION share/applications)
install(FILES ${pkg_src}/chanset-mime.xml DESTINATION share/mime/packages RENAME chanset.xml)
install(DIRECTORY ${pkg_src}/icons/hicolor DESTINATION share/icons)
configure_file(${pkg_src}/org.chanset.Chanset.metainfo.xml.in
               ${pkg_out}/org.chanset.Chanset.metainfo.xml @ONLY)
install(FILES ${pkg_out}/org.chanset.Chanset.metainfo.xml DESTINATION share/metainfo)

# Documentation: README, the licence as a Debian copyright file, changelogs.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "\n$" "" license "${license}")
string(REGEX REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " CHANSET_LICENSE_TEXT " ${license}")
configure_file(${pkg_src}/debian/copyright.in ${pkg_out}/copyright @ONLY)
configure_file(${pkg_src}/debian/changelog.in ${pkg_out}/changelog.Debian @ONLY)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${pkg_out}/copyright DESTINATION share/doc/chanset)

# Manual pages: the serial-port section is shared by two of them.
file(READ ${pkg_src}/man/serial-ports.man CHANSET_MAN_SERIAL)
string(REGEX REPLACE "\n$" "" CHANSET_MAN_SERIAL "${CHANSET_MAN_SERIAL}")

# Everything that names install paths or is compressed is made at install
# time; the values it needs are handed over here.
install(CODE "
  set(CHANSET_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")
  set(CHANSET_STAGE \"${pkg_out}/stage\")
  set(CHANSET_INSTALL_APPDIR \"${CHANSET_INSTALL_APPDIR}\")
  set(CHANSET_APP_DIR \"${CHANSET_APP_DIR}\")
  set(CHANSET_PROGRAMS \"$<$<TARGET_EXISTS:Chanset>:Chanset;>chanset-cli;chanset-radio-sim\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  set(CHANSET_RELEASE_DATE \"${CHANSET_RELEASE_DATE}\")
  set(CHANSET_MAN_SERIAL [==[${CHANSET_MAN_SERIAL}]==])
  set(CHANSET_CHANGELOGS \"${CMAKE_SOURCE_DIR}/CHANGELOG.md=changelog;${pkg_out}/changelog.Debian=changelog.Debian\")
")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/InstallTree.cmake)
