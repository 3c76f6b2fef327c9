# SPDX-License-Identifier: MIT
# Carrying the help inside a program: the help files are packed into an archive that is appended to the
# linked program, and the program's start mark is set to its own length before the archive.

include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/DebugInfo.cmake)

# brelmont_append_help_archive(<target> [SEPARATE_DEBUG] [INSTALL [DESTINATION dir] [COMPONENT name]
#                              [EXCLUDE_FROM_ALL]])
# After every link of <target> the archive is appended again to the freshly linked file; a change to the
# help relinks the target. The step cuts back an archive already present, so it never appends twice.
# SEPARATE_DEBUG first moves the debug information out of the program (cmake/DebugInfo.cmake), so that the
# shipped file is lean and nothing later needs to strip it.
# INSTALL installs the program as a plain file: an install that strips binaries would drop the archive.
function(brelmont_append_help_archive target)
    cmake_parse_arguments(ARG "INSTALL;EXCLUDE_FROM_ALL;SEPARATE_DEBUG" "DESTINATION;COMPONENT" "" ${ARGN})
    get_target_property(archive brelmont_help_archive BRELMONT_ARCHIVE_FILE)

    if(ARG_SEPARATE_DEBUG)
        brelmont_separate_debug_info(${target})
    endif()
    add_dependencies(${target} brelmont_help_archive)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${archive})
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND helppack append $<TARGET_FILE:${target}> ${archive}
                       COMMENT "Appending the help archive to ${target}" VERBATIM)

    if(ARG_INSTALL)
        if(NOT ARG_DESTINATION)
            set(ARG_DESTINATION ${CMAKE_INSTALL_BINDIR})
        endif()
        set(extra)
        if(ARG_COMPONENT)
            list(APPEND extra COMPONENT ${ARG_COMPONENT})
        endif()
        if(ARG_EXCLUDE_FROM_ALL)
            list(APPEND extra EXCLUDE_FROM_ALL)
        endif()
        install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${ARG_DESTINATION} ${extra})
    endif()
endfunction()
