# Run by cpack once the packages are made (CPACK_POST_BUILD_SCRIPTS). The
# dbgsym package's md5sums name its files by their path in cpack's staging
# folder, a path of the build machine; dpkg and lintian expect them relative
# to the root, as in every other package. The package is unpacked, mended
# and built again with dpkg-deb, which dates the archive by
# SOURCE_DATE_EPOCH, so it stays as reproducible as it was.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot unpack ${package}")
  endif()
  file(READ "${tree}/DEBIAN/md5sums" sums)
  string(REGEX REPLACE "  [^\n]*/usr/lib/debug/" "  usr/lib/debug/" sums "${sums}")
  file(WRITE "${tree}/DEBIAN/md5sums" "${sums}")
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${package}"
                  RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot build ${package} again")
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
