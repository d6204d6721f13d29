# The install-time part of the install rules (cmake/Install.cmake sets the
# CHANSET_* values this reads): the links in bin/, the links from the
# application directory to its data files, the site's settings file and its
# link, the manual pages and the compressed README and changelogs.
# CMAKE_INSTALL_PREFIX is the prefix of this install; DESTDIR, when set, goes
# in front of every path written (file(INSTALL) adds it by itself).

get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(root "$ENV{DESTDIR}")
set(appdir "${prefix}/${CHANSET_INSTALL_APPDIR}")
set(datadir "${prefix}/${CHANSET_INSTALL_DATADIR}")
set(bindir "${prefix}/bin")
# The site's settings are system configuration: /etc for the prefixes /usr
# and /, P/etc for any other prefix P.
if(prefix STREQUAL "/usr" OR prefix STREQUAL "/")
  set(sysconf /etc)
else()
  set(sysconf "${prefix}/etc")
endif()
set(site_dir "${sysconf}/chanset")
set(site_ini "${site_dir}/Chanset.ini")

# A symbolic link `link` (an installed path) pointing at `target`: relative
# when both lie under the prefix, so a tree moved as a whole keeps working.
macro(chanset_link target link)
  get_filename_component(_dir "${link}" DIRECTORY)
  string(FIND "${target}/" "${prefix}/" _under)
  if(_under EQUAL 0)
    file(RELATIVE_PATH _to "${_dir}" "${target}")
  else()
    set(_to "${target}")
  endif()
  file(MAKE_DIRECTORY "${root}${_dir}")
  message(STATUS "Installing: ${root}${link} -> ${_to}")
  file(CREATE_LINK "${_to}" "${root}${link}" SYMBOLIC RESULT _failed)
  if(_failed)
    message(FATAL_ERROR "cannot link ${root}${link}: ${_failed}")
  endif()
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${root}${link}")
endmacro()

function(chanset_gzip in out)
  execute_process(COMMAND gzip -9nc "${in}" OUTPUT_FILE "${out}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${in} failed: ${rc}")
  endif()
endfunction()

# Commands: chanset, chanset-cli, chanset-radio-sim.
foreach(program IN LISTS CHANSET_PROGRAMS)
  string(TOLOWER "${program}" command)
  chanset_link("${appdir}/${program}" "${bindir}/${command}")
endforeach()

# The data files, read through links beside the programs.
foreach(name IN LISTS CHANSET_DATA_NAMES)
  chanset_link("${datadir}/${name}" "${appdir}/${name}")
endforeach()

# The site's settings file. An installed one that was changed since is kept,
# and the shipped one goes beside it as Chanset.ini.dist.
set(shipped "${CHANSET_APP_DIR}/Chanset.ini")
set(name Chanset.ini)
if(EXISTS "${root}${site_ini}" AND NOT IS_SYMLINK "${root}${site_ini}")
  file(SHA256 "${root}${site_ini}" old)
  file(SHA256 "${shipped}" new)
  if(NOT old STREQUAL new)
    set(name Chanset.ini.dist)
    message(STATUS "Keeping the changed ${root}${site_ini}; the shipped settings are ${name} beside it")
  endif()
endif()
file(INSTALL "${shipped}" DESTINATION "${sysconf}/chanset" RENAME "${name}")
chanset_link("${site_ini}" "${appdir}/Chanset.ini")

# Manual pages name the installed paths.
set(CHANSET_APPDIR "${appdir}")
set(CHANSET_BINDIR "${bindir}")
set(CHANSET_DATADIR "${datadir}")
set(CHANSET_SITE_DIR "${site_dir}")
set(CHANSET_SITE_INI "${site_ini}")
# A folder of its own for each install, so that two at once do not meet.
string(RANDOM LENGTH 8 stage)
set(CHANSET_STAGE "${CHANSET_STAGE}-${stage}")
file(MAKE_DIRECTORY "${CHANSET_STAGE}/man1" "${CHANSET_STAGE}/doc")
foreach(page IN LISTS CHANSET_MAN_PAGES)
  get_filename_component(name "${page}" NAME)
  configure_file("${page}" "${CHANSET_STAGE}/${name}" @ONLY)
  chanset_gzip("${CHANSET_STAGE}/${name}" "${CHANSET_STAGE}/man1/${name}.gz")
endforeach()
file(GLOB pages "${CHANSET_STAGE}/man1/*.gz")
if(pages)
  file(INSTALL ${pages} DESTINATION "${prefix}/share/man/man1")
endif()

# Compressed as Debian's policy asks of documentation.
foreach(pair IN LISTS CHANSET_DOCS)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  chanset_gzip("${from}" "${CHANSET_STAGE}/doc/${to}.gz")
  file(INSTALL "${CHANSET_STAGE}/doc/${to}.gz" DESTINATION "${prefix}/share/doc/chanset")
endforeach()
file(REMOVE_RECURSE "${CHANSET_STAGE}")
