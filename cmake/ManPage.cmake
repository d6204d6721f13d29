# Makes one manual page from a program's --help (cmake -P, at build time):
#   cmake -DHELP2MAN=<help2man> -DPROGRAM=<program> -DINCLUDE=<page>.h2m
#         -DSERIAL=<serial-ports.man> -DOUT=<page>.1 -P ManPage.cmake
# help2man writes the options, the usage and the exit statuses of --help; the
# include adds the sections --help does not hold. The shared serial-port
# section goes into the include first. The paths of an install (@NAMES@)
# stay for the install rules (cmake/InstallTree.cmake) to fill in. The
# page's date is that of SOURCE_DATE_EPOCH when it is set.

file(READ "${SERIAL}" serial)
string(REGEX REPLACE "\n$" "" serial "${serial}")
file(READ "${INCLUDE}" include)
string(REPLACE "@CHANSET_MAN_SERIAL@" "${serial}" include "${include}")
get_filename_component(name "${OUT}" NAME)
set(include_file "${OUT}.h2m")
file(WRITE "${include_file}" "${include}")

# A sanitizer build's programs report the leaks of the libraries they load
# when they exit; that is no concern of their help.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --include=${include_file} --output=${OUT}.tmp "${PROGRAM}"
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man ${PROGRAM} failed: ${err}")
endif()
file(READ "${OUT}.tmp" page)
# "Exit status:" in --help ends the options; in the manual it is a section
# of its own.
string(REPLACE ".SS \"Exit status:\"" ".SH \"EXIT STATUS\"" page "${page}")
if(NOT page MATCHES "\\.SH \"EXIT STATUS\"")
  message(FATAL_ERROR "${PROGRAM} --help names no exit status")
endif()
file(WRITE "${OUT}" "${page}")
file(REMOVE "${OUT}.tmp" "${include_file}")
