# qev_add_test(name SOURCES ... [LIBS ...] [THREADS] [LABELS ...] [TIMEOUT s])
#
# One Qt Test executable per area. In a ThreadSanitizer build only the tests
# marked THREADS exist: they are the ones where a data race is possible.
function(qev_add_test name)
  cmake_parse_arguments(ARG "THREADS" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(QEV_FUZZ OR (QEV_SANITIZER STREQUAL "thread" AND NOT ARG_THREADS))
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    QEV_SOURCE_DIR="${QEV_SOURCE_DIR}"
    QEV_RESOURCES_DIR="${QEV_SOURCE_DIR}/resources")
  add_test(NAME ${name} COMMAND ${name})
  set(timeout 300)
  if(ARG_TIMEOUT)
    set(timeout ${ARG_TIMEOUT})
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${timeout}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FATAL_WARNINGS=0;LSAN_OPTIONS=suppressions=${QEV_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1;TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1 suppressions=${QEV_SOURCE_DIR}/tests/tsan.supp")
  add_dependencies(qev_tests ${name})
endfunction()

# Puts an executable into the program folder.
function(qev_program_output target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QEV_PROGRAM_DIR})
endfunction()

# qev_add_fuzzer(name SOURCES ... [LIBS ...] [SECONDS n] [CORPUS dir])
#
# A libFuzzer target, run by CTest for a bounded time. Exists only in the
# fuzz build.
function(qev_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SECONDS;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT QEV_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(seconds 30)
  if(ARG_SECONDS)
    set(seconds ${ARG_SECONDS})
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${seconds} -rss_limit_mb=2048 ${work} ${ARG_CORPUS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
  add_dependencies(qev_fuzz ${name})
endfunction()
