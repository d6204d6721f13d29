# The manual pages chanset(1), chanset-cli(1) and chanset-radio-sim(1), each
# made from its program's --help by help2man with a hand-written include
# (packaging/man/<page>.h2m) for the sections --help does not hold. The
# pages keep @NAMES@ for the installed paths; the install rules fill them in.
# Without help2man the build makes no pages (and installs none).

find_program(CHANSET_HELP2MAN help2man)
set(CHANSET_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(pages)
if(NOT CHANSET_HELP2MAN)
  message(WARNING "help2man was not found: no manual pages are made or installed "
                  "(scripts/install-deps.sh installs it)")
else()
  foreach(pair Chanset=chanset chanset-cli=chanset-cli chanset-radio-sim=chanset-radio-sim)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 target)
    list(GET pair 1 page)
    if(NOT TARGET ${target})
      continue()
    endif()
    set(out ${CHANSET_MAN_DIR}/${page}.1)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${CHANSET_HELP2MAN} -DPROGRAM=$<TARGET_FILE:${target}>
              -DINCLUDE=${CMAKE_SOURCE_DIR}/packaging/man/${page}.h2m
              -DSERIAL=${CMAKE_SOURCE_DIR}/packaging/man/serial-ports.man
              -DOUT=${out} -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
      DEPENDS ${target} ${CMAKE_SOURCE_DIR}/packaging/man/${page}.h2m
              ${CMAKE_SOURCE_DIR}/packaging/man/serial-ports.man ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
      COMMENT "Manual page ${page}(1) from ${target} --help"
      VERBATIM)
    list(APPEND pages ${out})
  endforeach()
  file(MAKE_DIRECTORY ${CHANSET_MAN_DIR})
endif()
add_custom_target(manpages ALL DEPENDS ${pages})
set(CHANSET_MAN_PAGES ${pages})
