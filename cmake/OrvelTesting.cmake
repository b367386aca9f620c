# orvel_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>] [LABELS <l...>])
# Builds one Qt Test program and registers it with CTest. Every test runs with the
# offscreen platform plugin so widget tests need no display.
function(orvel_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test orvel_testsupport ${T_LIBS})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVEL_TEST_BIN_DIR})
    target_compile_definitions(${T_NAME} PRIVATE
        ORVEL_BIN_DIR="${ORVEL_BIN_DIR}"
        ORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set(env "QT_QPA_PLATFORM=offscreen")
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1")
    list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
    list(APPEND env "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}")
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
