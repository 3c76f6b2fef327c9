# SPDX-License-Identifier: MIT
# Installed programs carry no debug information: after each link it moves into <program>.debug beside the
# program, which keeps a .gnu_debuglink to it, so a debugger in the build tree still finds it.

include_guard(GLOBAL)

# A distribution's build turns this off: its own strip step moves the debug information into its debug
# package (debian/rules), and would find none left if the build had already taken it out.
option(BRELMONT_SEPARATE_DEBUG "Move the debug information of each program into <program>.debug after linking" ON)

find_program(BRELMONT_OBJCOPY NAMES objcopy REQUIRED)

# brelmont_separate_debug_info(<target>)
# Must come before any other post-build step that adds bytes to the file (the help archive): stripping
# rewrites the program and would drop them.
function(brelmont_separate_debug_info target)
    if(NOT BRELMONT_SEPARATE_DEBUG)
        return()
    endif()
    set(file $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${BRELMONT_OBJCOPY} --only-keep-debug ${file} ${file}.debug
                       COMMAND ${BRELMONT_OBJCOPY} --strip-unneeded --remove-section=.comment
                               --add-gnu-debuglink=${file}.debug ${file}
                       COMMENT "Moving the debug information of ${target} into ${target}.debug" VERBATIM)
endfunction()
