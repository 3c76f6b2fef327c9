# SPDX-License-Identifier: MIT
# Installs the archive-carrying test program with stripping asked for, and runs the installed copy's
# unpacking: an install step that dropped the appended archive would fail here.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component brelmont_help_check
                        --prefix ${PREFIX} --strip
                RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "install failed: ${result}")
endif()
execute_process(COMMAND ${PREFIX}/libexec/brelmont-checks/helpdelivery_program_tests
                        --gtest_filter=ProgramArchive.*
                RESULT_VARIABLE result)
file(REMOVE_RECURSE ${PREFIX})
if(result)
    message(FATAL_ERROR "the installed program could not unpack its help: ${result}")
endif()
