# SPDX-License-Identifier: MIT
# Runs one libFuzzer target for a bounded time and prints the coverage it reached at the end, so a fuzzer that
# sees nothing of the code it fuzzes shows up in the test log.
#     cmake -DFUZZER=<program> -DSECONDS=<n> -DDIRS=<writable corpus;kept corpora...> -P RunFuzzer.cmake
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=1024 -print_final_stats=1
                        ${DIRS}
                RESULT_VARIABLE result
                OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
message("${out}${err}")
# libFuzzer's status lines read "#<runs> <event> cov: <edges> ft: <features> corp: ..."; the last one holds the
# coverage at the end of the run.
string(REGEX MATCHALL "#[0-9]+[ \t]+[A-Z]+[ \t]+cov: [0-9]+ ft: [0-9]+" status "${err}")
if(status)
    list(GET status -1 last)
    string(REGEX REPLACE ".*cov: ([0-9]+) ft: ([0-9]+)" "\\1 edges, \\2 features" reached "${last}")
    get_filename_component(fuzzer_name ${FUZZER} NAME)
    message("Final coverage of ${fuzzer_name}: ${reached}")
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (exit code ${result})")
endif()
