# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks what a user gets: the program byte for byte as built
# (its help archive intact, nothing stripped), its help viewer in libexec and not on PATH, the menu entry,
# the risk chart's module in the package's library folder, the icons, the metainfo, the manual pages, the bash completion and the
# package documents.
# cmake -DBUILD_DIR=... -DPREFIX=... -DPROGRAM=... -DLIBDIR=... -DAPP_ID=... -DPACKAGE_DOCS=ON|OFF -P InstallCheck.cmake
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
foreach(f share/applications/${APP_ID}.desktop share/icons/hicolor/16x16/apps/${APP_ID}.png
          share/icons/hicolor/48x48/apps/${APP_ID}.png share/icons/hicolor/256x256/apps/${APP_ID}.png
          share/icons/hicolor/scalable/apps/${APP_ID}.svg share/metainfo/${APP_ID}.metainfo.xml
          share/man/man1/Brelmont.1.gz share/man/ru/man1/Brelmont.1.gz share/bash-completion/completions/Brelmont
          libexec/brelmont/brelmont-help ${LIBDIR}/brelmont/modules/brelmont-riskchart.so
          ${LIBDIR}/brelmont/modules/brelmont-several.so)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "${f} was not installed")
    endif()
endforeach()
# A distribution's build leaves these to its own tools.
if(PACKAGE_DOCS)
    foreach(f share/doc/brelmont/copyright share/doc/brelmont/changelog.Debian.gz share/lintian/overrides/brelmont)
        if(NOT EXISTS ${PREFIX}/${f})
            message(FATAL_ERROR "${f} was not installed")
        endif()
    endforeach()
endif()
if(EXISTS ${PREFIX}/bin/brelmont-help)
    message(FATAL_ERROR "the help viewer was installed on PATH")
endif()
file(STRINGS ${PREFIX}/share/applications/${APP_ID}.desktop exec REGEX "^Exec=")
# The entry itself, then its action that opens the window for several bets.
if(NOT exec STREQUAL "Exec=Brelmont;Exec=Brelmont --several")
    message(FATAL_ERROR "the menu entry and its action start '${exec}'")
endif()
file(REMOVE_RECURSE ${PREFIX})
