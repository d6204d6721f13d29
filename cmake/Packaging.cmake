# `cpack -G DEB` in the build folder makes chanset_<version>-1_<arch>.deb
# from the install rules (cmake/Install.cmake) with the prefix /usr, and
# chanset-dbgsym_<version>-1_<arch>.ddeb with the programs' debugging
# information (found by build id). scripts/package-deb.sh builds it with
# Debian's flags, twice, and checks the result.

set(CPACK_PACKAGE_NAME chanset)
set(CPACK_PACKAGE_VENDOR "The Chanset developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "program the channels of a hand-held two-way FM radio")
set(CPACK_PACKAGE_DESCRIPTION
    "Chanset reads the configuration of a hand-held two-way FM radio over its\n"
    "serial programming cable, shows its 16 channels in a grid and its radio-wide\n"
    "options in dialogs, keeps it in .dat configuration files, prints it and\n"
    "writes it back to the radio. English and Chinese user interface.\n"
    "chanset-cli does the same from scripts, and chanset-radio-sim simulates a\n"
    "radio for trying it without hardware.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "${CHANSET_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install-time rules place the site's settings under /etc themselves.
set(CPACK_SET_DESTDIR ON)
# The DEB generator strips the programs itself, once it has copied their
# debugging information into the dbgsym package.
set(CPACK_STRIP_FILES OFF)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CHANSET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION ${CHANSET_DEB_SECTION})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(CHANSET_REAL_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CHANSET_REAL_HOMEPAGE}")
endif()
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebugPackage.cmake)
# Said at every package build while the placeholders stand.
set(CHANSET_CPACK_CONFIG ${CMAKE_BINARY_DIR}/packaging/CPackChanset.cmake)
if(CHANSET_PLACEHOLDER_WARNING)
  file(WRITE ${CHANSET_CPACK_CONFIG} "message(WARNING [==[${CHANSET_PLACEHOLDER_WARNING}]==])\n")
else()
  file(WRITE ${CHANSET_CPACK_CONFIG} "")
endif()
set(CPACK_PROJECT_CONFIG_FILE ${CHANSET_CPACK_CONFIG})
# Libraries the programs link come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt plugins are loaded at run time, so no link names their packages: the
# packages that hold the plugins on this machine are looked up instead.
# platforms: the window system; sqldrivers: the help index; imageformats:
# title.ico; printsupport: printers. A package that also holds a library
# the programs link is named by dpkg-shlibdeps already, with its version,
# and is left out here so that Depends names each package once.
function(chanset_package_of file out)
  execute_process(COMMAND dpkg-query -S "${file}" OUTPUT_VARIABLE owner
                  RESULT_VARIABLE rc ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc EQUAL 0 AND owner MATCHES "^([^:, ]+)")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()
if(TARGET Qt6::Core)
  set(linked_packages)
  foreach(lib Core Gui Widgets PrintSupport SerialPort Help Sql)
    if(TARGET Qt6::${lib})
      get_target_property(file Qt6::${lib} IMPORTED_LOCATION_RELWITHDEBINFO)
      if(NOT file)
        get_target_property(file Qt6::${lib} LOCATION)
      endif()
      if(lib STREQUAL "Core")
        get_filename_component(qt_libdir "${file}" DIRECTORY)
      endif()
      get_filename_component(file "${file}" REALPATH)
      chanset_package_of("${file}" owner)
      list(APPEND linked_packages ${owner})
    endif()
  endforeach()
  set(plugin_packages)
  foreach(plugin platforms/libqxcb.so sqldrivers/libqsqlite.so imageformats/libqico.so
                 printsupport/libcupsprintersupport.so)
    set(file "${qt_libdir}/qt6/plugins/${plugin}")
    chanset_package_of("${file}" owner)
    if(NOT owner)
      message(STATUS "Packaging: no package holds ${file}; the .deb will not depend on it")
    elseif(NOT owner IN_LIST linked_packages)
      list(APPEND plugin_packages ${owner})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES plugin_packages)
  string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_DEPENDS "${plugin_packages}")
endif()
# Times New Roman of the dialogs and the Chinese texts need these fonts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-wqy-zenhei")
# The site's settings are a configuration file: an upgrade keeps the
# administrator's changes.
file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles "/etc/chanset/Chanset.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
