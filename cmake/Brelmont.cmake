# SPDX-License-Identifier: MIT
# Shared helpers for the subsystem CMakeLists: tests, fuzz targets and benchmarks are declared the same way
# everywhere so that the presets can switch them on and off as a group.

include_guard(GLOBAL)

# brelmont_test(NAME SOURCES ... LIBS ... [LABELS ...] [ENV ...])
# A GoogleTest program linked against the module libraries (never their sources), registered with CTest.
function(brelmont_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    set(props "")
    if(ARG_LABELS)
        list(APPEND props LABELS "${ARG_LABELS}")
    endif()
    if(ARG_ENV)
        list(APPEND props ENVIRONMENT "${ARG_ENV}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()

# brelmont_fuzzer(NAME SOURCES ... LIBS ... [SECONDS N])
# A libFuzzer target. Built only in the fuzzing preset (clang); CTest runs it for a bounded time.
function(brelmont_fuzzer name)
    if(NOT BRELMONT_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS ${BRELMONT_FUZZ_SECONDS})
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${name}-seeds)
    set(dirs ${corpus})
    if(EXISTS ${seeds})
        list(APPEND dirs ${seeds})
    endif()
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${ARG_SECONDS} -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 ${dirs}
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# brelmont_benchmark(NAME SOURCES ... LIBS ...)
# A Google Benchmark program; not a test: speed is read from its printed ratios, never asserted.
function(brelmont_benchmark name)
    if(NOT BRELMONT_BENCH)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()
