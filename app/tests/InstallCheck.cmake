# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks what a user gets: the program byte for byte as built
# (its help archive intact, nothing stripped), the menu entry and the icon.
# cmake -DBUILD_DIR=... -DPREFIX=... -DPROGRAM=... -P InstallCheck.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE rc
                OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
file(SHA256 ${PROGRAM} built)
file(SHA256 ${PREFIX}/bin/Brelmont installed)
if(NOT built STREQUAL installed)
    message(FATAL_ERROR "the installed program differs from the built one")
endif()
foreach(f share/applications/brelmont.desktop share/icons/hicolor/48x48/apps/brelmont.png)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "${f} was not installed")
    endif()
endforeach()
file(STRINGS ${PREFIX}/share/applications/brelmont.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=Brelmont")
    message(FATAL_ERROR "the menu entry starts '${exec}'")
endif()
file(REMOVE_RECURSE ${PREFIX})
