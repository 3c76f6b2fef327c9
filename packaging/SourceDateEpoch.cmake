# SPDX-License-Identifier: MIT
# Read by cpack before it packs: the time stamps of a package are those of its sources.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    execute_process(COMMAND git -C ${CPACK_BRELMONT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        execute_process(COMMAND dpkg-parsechangelog -l ${CPACK_BRELMONT_SOURCE_DIR}/debian/changelog -STimestamp
                        OUTPUT_VARIABLE epoch RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "no time for the package: no git history and no readable debian/changelog")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
