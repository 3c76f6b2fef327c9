# SPDX-License-Identifier: MIT
# Shared helpers for the subsystem CMakeLists: tests, fuzz targets and benchmarks are declared the same way
# everywhere so that the presets can switch them on and off as a group.

include_guard(GLOBAL)

# brelmont_test(NAME [OWN_MAIN] SOURCES ... LIBS ... [LABELS ...] [ENV ...])
# A GoogleTest program linked against the module libraries (never their sources), registered with CTest.
# OWN_MAIN: the sources define main() (to set up the toolkit first), so GoogleTest's is not linked.
# Nothing is built when BUILD_TESTING is off.
function(brelmont_test name)
    if(NOT BUILD_TESTING)
        return()
    endif()
    cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    if(NOT ARG_OWN_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    set(props "")
    if(ARG_LABELS)
        list(APPEND props LABELS "${ARG_LABELS}")
    endif()
    if(ARG_ENV)
        list(APPEND props ENVIRONMENT "${ARG_ENV}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()

# brelmont_fuzz_coverage(TARGET)
# Builds a library and every project library it links with coverage instrumentation for libFuzzer; without it
# a fuzz target sees only its own few lines and mutates blindly.
function(brelmont_fuzz_coverage target)
    get_target_property(real ${target} ALIASED_TARGET)
    if(real)
        set(target ${real})
    endif()
    get_target_property(type ${target} TYPE)
    get_property(done GLOBAL PROPERTY BRELMONT_FUZZ_COVERED)
    if(NOT type STREQUAL "STATIC_LIBRARY" OR target IN_LIST done)
        return()
    endif()
    set_property(GLOBAL APPEND PROPERTY BRELMONT_FUZZ_COVERED ${target})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    get_target_property(deps ${target} LINK_LIBRARIES)
    foreach(dep IN LISTS deps)
        if(TARGET ${dep})
            brelmont_fuzz_coverage(${dep})
        endif()
    endforeach()
endfunction()

# brelmont_fuzzer(NAME SOURCES ... LIBS ... [SECONDS N])
# A libFuzzer target. Built only in the fuzzing preset (clang); CTest runs it for a bounded time, starting from
# the minimised corpus kept beside its source (fuzz/NAME-corpus) and its hand-written seeds (fuzz/NAME-seeds),
# and prints the coverage it reached. New finds go to the build folder; scripts/fuzz-corpus.sh merges them back.
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
    foreach(lib IN LISTS ARG_LIBS)
        if(TARGET ${lib})
            brelmont_fuzz_coverage(${lib})
        endif()
    endforeach()
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    set(dirs ${corpus})
    foreach(kept IN ITEMS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${name}-corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${name}-seeds)
        if(EXISTS ${kept})
            list(APPEND dirs ${kept})
        endif()
    endforeach()
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
             COMMAND ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${name}> -DSECONDS=${ARG_SECONDS} "-DDIRS=${dirs}"
                     -P ${PROJECT_SOURCE_DIR}/cmake/RunFuzzer.cmake
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
