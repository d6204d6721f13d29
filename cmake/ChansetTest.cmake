# chanset_add_test(NAME <name> LABEL unit|gui|e2e|fuzz SOURCES <files...>
#                  [FRAMEWORK gtest|qttest|none] [LIBS <libs...>] [TIMEOUT <seconds>]
#                  [ENV <VAR=value...>] [DEPENDS <targets...>])
# Builds one test executable and registers it with CTest in one step, so no
# test is ever built without being run. GoogleTest tests link the core only
# (unit and fuzz labels use it by default); QtTest tests link the Qt layer and
# run on the offscreen platform (gui and e2e labels use it by default).
# FRAMEWORK none builds a program with its own main() that links the core only
# (the fuzz smoke drivers).
# DEPENDS names programs the test runs (chanset-cli, chanset-radio-sim, ...).
function(chanset_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT;FRAMEWORK" "SOURCES;LIBS;ENV;DEPENDS" ${ARGN})
  if(NOT T_NAME OR NOT T_LABEL OR NOT T_SOURCES)
    message(FATAL_ERROR "chanset_add_test needs NAME, LABEL and SOURCES")
  endif()
  if(NOT T_FRAMEWORK)
    if(T_LABEL STREQUAL "unit" OR T_LABEL STREQUAL "fuzz")
      set(T_FRAMEWORK gtest)
    else()
      set(T_FRAMEWORK qttest)
    endif()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    CHANSET_APP_DIR="${CHANSET_APP_DIR}"
    CHANSET_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CHANSET_BINARY_DIR="${CMAKE_BINARY_DIR}")
  set(env "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
  # Reads keep backups under XDG_DATA_HOME: never in the home of whoever runs the tests.
  list(APPEND env "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/xdg-data")
  # Port lock files too: never in the machine's /run/lock.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-locks)
  list(APPEND env "CHANSET_LOCK_DIR=${CMAKE_BINARY_DIR}/test-locks")
  if(T_FRAMEWORK STREQUAL "gtest")
    set_target_properties(${T_NAME} PROPERTIES AUTOMOC OFF)
    target_link_libraries(${T_NAME} PRIVATE chanset_core GTest::gtest GTest::gtest_main ${T_LIBS})
  elseif(T_FRAMEWORK STREQUAL "none")
    set_target_properties(${T_NAME} PROPERTIES AUTOMOC OFF)
    target_link_libraries(${T_NAME} PRIVATE chanset_core ${T_LIBS})
  else()
    target_link_libraries(${T_NAME} PRIVATE chanset_ui Qt6::Test ${T_LIBS})
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(T_DEPENDS)
    add_dependencies(${T_NAME} ${T_DEPENDS})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  list(APPEND env ${T_ENV})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "${env}")
endfunction()
