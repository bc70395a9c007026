# add_qt_test(<name> [GUI] SOURCES ... [LIBS ...])
# One test executable per source folder. Tests run on the offscreen platform with a
# UTF-8 locale, and find their golden files through VENDRIX_TEST_DATA.
function(add_qt_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    set(target tst_${name})
    add_executable(${target} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/testmain.cpp)
    target_link_libraries(${target} PRIVATE vendrix_testsupport Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${target} PRIVATE
        VENDRIX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        VENDRIX_SOURCE_DATA="${PROJECT_SOURCE_DIR}/data"
        VENDRIX_BUILD_DATA_DIR="${VENDRIX_DATA_OUTPUT_DIR}")
    if(ARG_GUI)
        target_compile_definitions(${target} PRIVATE VENDRIX_TEST_GUI)
        target_link_libraries(${target} PRIVATE Qt6::Widgets)
    endif()
    add_dependencies(${target} vendrix_data)
    add_test(NAME ${name} COMMAND ${target})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;QTEST_DISABLE_STACK_DUMP=1;VENDRIX_BUILD_DATA=${VENDRIX_DATA_OUTPUT_DIR}"
        TIMEOUT 300)
    if(VENDRIX_SANITIZE)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
            "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan-suppressions.txt")
    endif()
endfunction()

# browser_engine_test(<name>)
# The test loads the browser engine. Built with the sanitizers, the engine's own
# code (not built with them) frees some objects through a base of another size,
# which the address checker would stop the test for, leaving the engine's threads
# hanging until the time limit.
function(browser_engine_test name)
    if(VENDRIX_SANITIZE)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT_MODIFICATION
            "ASAN_OPTIONS=string_append::new_delete_type_mismatch=0")
    endif()
endfunction()
