# What `cmake --install` lays out under the prefix P:
#
#   P/lib/chanset/        the application directory: the three programs, and
#                         links to every file they look for beside themselves
#   P/share/chanset/      those files, the same on every architecture: the
#                         language packs, the help files, title.ico and the
#                         shipped background.bmp
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
set(CHANSET_INSTALL_DATADIR share/chanset)
set(CHANSET_RELEASE_DATE 2026-12-07)
set(CHANSET_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 12:00:00 +0000")

# Home page and maintainer. The defaults are placeholders that point
# nowhere: a package built with them says so, and a release build refuses
# them. Without a real home page the package and the AppStream data name
# none (and no screenshot, which would be found there).
set(CHANSET_PLACEHOLDER_HOMEPAGE "https://chanset.example.org/")
set(CHANSET_PLACEHOLDER_MAINTAINER "Chanset developers <maintainers@chanset.example.org>")
set(CHANSET_HOMEPAGE "${CHANSET_PLACEHOLDER_HOMEPAGE}" CACHE STRING
    "Home page named by the AppStream data and the package (with a trailing /)")
set(CHANSET_MAINTAINER "${CHANSET_PLACEHOLDER_MAINTAINER}" CACHE STRING
    "Maintainer named by the Debian package and its changelog")
option(CHANSET_RELEASE "A release build: refuse the placeholder home page and maintainer" OFF)
set(CHANSET_PLACEHOLDERS)
if(CHANSET_HOMEPAGE STREQUAL CHANSET_PLACEHOLDER_HOMEPAGE OR CHANSET_HOMEPAGE STREQUAL "")
  list(APPEND CHANSET_PLACEHOLDERS "-DCHANSET_HOMEPAGE=https://.../")
  set(CHANSET_REAL_HOMEPAGE "")
else()
  set(CHANSET_REAL_HOMEPAGE "${CHANSET_HOMEPAGE}")
endif()
if(CHANSET_MAINTAINER STREQUAL CHANSET_PLACEHOLDER_MAINTAINER)
  list(APPEND CHANSET_PLACEHOLDERS "-DCHANSET_MAINTAINER=\"Name <address>\"")
endif()
if(CHANSET_PLACEHOLDERS)
  list(JOIN CHANSET_PLACEHOLDERS " and " missing)
  set(CHANSET_PLACEHOLDER_WARNING
      "The package names no real home page or maintainer: configure with ${missing}")
  if(CHANSET_RELEASE)
    message(FATAL_ERROR "A release build needs a real home page and maintainer: configure with ${missing}")
  endif()
endif()

# The licence, and the archive section that goes with it: LICENSE grants no
# right to copy or pass the programs on, so the package belongs to non-free.
# A free licence here makes it plain hamradio.
set(CHANSET_COPYRIGHT "2026 The Chanset developers")
set(CHANSET_SPDX_LICENSE LicenseRef-proprietary)
set(CHANSET_LICENSE_NAME proprietary)
set(CHANSET_LICENSE_FREE OFF)
if(CHANSET_LICENSE_FREE)
  set(CHANSET_DEB_SECTION hamradio)
else()
  set(CHANSET_DEB_SECTION non-free/hamradio)
endif()
set(CHANSET_DEB_VERSION ${PROJECT_VERSION}-1)

set(pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)

# The programs, and the files they read, which go to the data folder with a
# link each from the application directory (made at install time).
if(TARGET Chanset)
  install(TARGETS Chanset DESTINATION ${CHANSET_INSTALL_APPDIR})
endif()
install(TARGETS chanset-cli chanset-radio-sim DESTINATION ${CHANSET_INSTALL_APPDIR})
get_property(app_files GLOBAL PROPERTY CHANSET_APP_FILES)
install(FILES ${app_files} DESTINATION ${CHANSET_INSTALL_DATADIR})
set(data_names)
foreach(f ${app_files})
  get_filename_component(name ${f} NAME)
  list(APPEND data_names ${name})
endforeach()

# Desktop integration. The AppStream data names the home page and the
# screenshot only when there is a real home page.
install(FILES ${pkg_src}/chanset.desktop DESTINATION share/applications)
install(FILES ${pkg_src}/chanset-mime.xml DESTINATION share/mime/packages RENAME chanset.xml)
install(DIRECTORY ${pkg_src}/icons/hicolor DESTINATION share/icons)
if(CHANSET_REAL_HOMEPAGE)
  set(CHANSET_METAINFO_LINKS
      "  <screenshots>
    <screenshot type=\"default\">
      <caption>The 16 channels of a radio in the channel grid</caption>
      <caption xml:lang=\"zh-CN\">信道表中的对讲机 16 个信道</caption>
      <image>${CHANSET_REAL_HOMEPAGE}screenshots/main-window.png</image>
    </screenshot>
  </screenshots>
  <url type=\"homepage\">${CHANSET_REAL_HOMEPAGE}</url>
")
else()
  set(CHANSET_METAINFO_LINKS "")
endif()
configure_file(${pkg_src}/org.chanset.Chanset.metainfo.xml.in
               ${pkg_out}/org.chanset.Chanset.metainfo.xml @ONLY)
install(FILES ${pkg_out}/org.chanset.Chanset.metainfo.xml DESTINATION share/metainfo)

# Documentation: the licence as a Debian copyright file; the README and the
# changelogs are compressed at install time.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "\n$" "" license "${license}")
string(REGEX REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " CHANSET_LICENSE_TEXT " ${license}")
if(CHANSET_REAL_HOMEPAGE)
  set(CHANSET_COPYRIGHT_SOURCE "Source: ${CHANSET_REAL_HOMEPAGE}\n")
else()
  set(CHANSET_COPYRIGHT_SOURCE "")
endif()
configure_file(${pkg_src}/debian/copyright.in ${pkg_out}/copyright @ONLY)
configure_file(${pkg_src}/debian/changelog.in ${pkg_out}/changelog.Debian @ONLY)
install(FILES ${pkg_out}/copyright DESTINATION share/doc/chanset)

# Everything that names install paths or is compressed is made at install
# time; the values it needs are handed over here.
install(CODE "
  set(CHANSET_STAGE \"${pkg_out}/stage\")
  set(CHANSET_INSTALL_APPDIR \"${CHANSET_INSTALL_APPDIR}\")
  set(CHANSET_INSTALL_DATADIR \"${CHANSET_INSTALL_DATADIR}\")
  set(CHANSET_APP_DIR \"${CHANSET_APP_DIR}\")
  set(CHANSET_PROGRAMS \"$<$<TARGET_EXISTS:Chanset>:Chanset;>chanset-cli;chanset-radio-sim\")
  set(CHANSET_DATA_NAMES \"${data_names}\")
  set(CHANSET_MAN_PAGES \"${CHANSET_MAN_PAGES}\")
  set(CHANSET_DOCS \"${CMAKE_SOURCE_DIR}/README.md=README.md;${CMAKE_SOURCE_DIR}/CHANGELOG.md=changelog;${pkg_out}/changelog.Debian=changelog.Debian\")
")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/InstallTree.cmake)
