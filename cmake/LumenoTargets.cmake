# Project-wide compile settings and the one-line helpers that declare libraries and tests.

# Every narrow literal is GBK at run time: the program's Text is code page 936 throughout.
# GB18030 is GBK's superset and encodes every GBK character with the same bytes; unlike GBK it
# can also encode the few non-GBK characters that standard headers hold in narrow literals
# (GCC 12's <chrono> has "µs"), so <chrono> and Qt's headers compile in every target.
set(LUMENO_CHARSET_OPTIONS -finput-charset=UTF-8 -fexec-charset=GB18030)
set(LUMENO_WARNING_OPTIONS -Wall -Wextra)
if(LUMENO_WERROR)
    list(APPEND LUMENO_WARNING_OPTIONS -Werror)
endif()

# lumeno_library(<name> SOURCES ... [DEPS ...]): one static library for one folder.
function(lumeno_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${LUMENO_WARNING_OPTIONS} ${LUMENO_CHARSET_OPTIONS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# lumeno_test(<name> SOURCES ... [DEPS ...] [LABELS ...]): one GoogleTest program under CTest.
# In a Windows build the program runs under Wine (CMAKE_CROSSCOMPILING_EMULATOR) with what
# LUMENO_WINDOWS_TEST_ENVIRONMENT and LUMENO_WINDOWS_TEST_FIXTURES give it (tests/windows).
function(lumeno_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    if(NOT TARGET GTest::gtest)
        find_package(GTest REQUIRED)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${LUMENO_WARNING_OPTIONS} ${LUMENO_CHARSET_OPTIONS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    if(LUMENO_PLATFORM STREQUAL "windows")
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "${LUMENO_WINDOWS_TEST_ENVIRONMENT}"
            FIXTURES_REQUIRED "${LUMENO_WINDOWS_TEST_FIXTURES}")
    endif()
endfunction()

# lumeno_bench(<name> SOURCES ... [DEPS ...]): one Google Benchmark program (never run by CTest).
function(lumeno_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    find_package(benchmark REQUIRED)
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${LUMENO_WARNING_OPTIONS} ${LUMENO_CHARSET_OPTIONS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
