# SPDX-License-Identifier: MIT
# Desktop integration and the Debian package. Included by app/CMakeLists.txt once the program target exists.
#     cmake --install <build dir> --prefix <prefix>       installs the program, its viewer, menu entry, icons,
#                                                         metainfo, manual page, changelog and copyright
#     (cd <build dir> && cpack)                            builds brelmont_<version>_<arch>.deb

set(packaging ${CMAKE_CURRENT_LIST_DIR})
set(debian ${PROJECT_SOURCE_DIR}/debian)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/brelmont)

# The package's version is the one debian/changelog gives, with its Debian revision; its upstream part must be
# the project's.
file(STRINGS ${debian}/changelog changelog_head LIMIT_COUNT 1)
string(REGEX MATCH "^brelmont \\(([^)-]+)-([^)]+)\\)" changelog_version "${changelog_head}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "debian/changelog begins with version '${CMAKE_MATCH_1}', the project is ${PROJECT_VERSION}")
endif()
set(BRELMONT_DEBIAN_REVISION ${CMAKE_MATCH_2})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${debian}/changelog)

foreach(file brelmont.desktop brelmont.metainfo.xml)
    string(REPLACE "brelmont." "${BRELMONT_APP_ID}." named ${file})
    configure_file(${packaging}/${file}.in ${CMAKE_CURRENT_BINARY_DIR}/${named} @ONLY)
endforeach()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${BRELMONT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${BRELMONT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The art generator draws each theme size from the scalable icon (art/README.md).
install(FILES ${PROJECT_SOURCE_DIR}/art/brelmont.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${BRELMONT_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/art/rendered/icons/brelmont-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${BRELMONT_APP_ID}.png)
endforeach()

# Completion for bash, where bash-completion looks for it under this prefix.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_get_variable(BRELMONT_BASH_COMPLETIONS bash-completion completionsdir)
endif()
if(BRELMONT_BASH_COMPLETIONS)
    string(REGEX REPLACE "^/usr/" "" bash_completions "${BRELMONT_BASH_COMPLETIONS}")
else()
    set(bash_completions ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
install(FILES ${packaging}/brelmont.bash-completion DESTINATION ${bash_completions} RENAME Brelmont)

# The manual pages and the Debian changelog go compressed, as Debian installs them; -n keeps the archives
# free of time stamps, so the same sources give the same package.
find_program(BRELMONT_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/Brelmont.1.gz ${CMAKE_CURRENT_BINARY_DIR}/Brelmont.ru.1.gz
                          ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
                   COMMAND ${BRELMONT_GZIP} -9n -c ${packaging}/Brelmont.1 > Brelmont.1.gz
                   COMMAND ${BRELMONT_GZIP} -9n -c ${packaging}/Brelmont.ru.1 > Brelmont.ru.1.gz
                   COMMAND ${BRELMONT_GZIP} -9n -c ${debian}/changelog > changelog.Debian.gz
                   DEPENDS ${packaging}/Brelmont.1 ${packaging}/Brelmont.ru.1 ${debian}/changelog
                   WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                   COMMENT "Compressing the manual pages and the changelog")
add_custom_target(brelmont_package_docs ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/Brelmont.1.gz
                                                    ${CMAKE_CURRENT_BINARY_DIR}/Brelmont.ru.1.gz
                                                    ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/Brelmont.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/Brelmont.ru.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1
        RENAME Brelmont.1.gz)
if(BRELMONT_INSTALL_PACKAGE_DOCS)
    install(FILES ${debian}/copyright DESTINATION ${doc_dir})
    install(FILES ${debian}/brelmont.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
            RENAME brelmont)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${doc_dir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelmont)
set(CPACK_PACKAGE_VENDOR "The Brelmont developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kelly criterion stake calculator for bettors")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brelmont computes the stake that the Kelly criterion recommends for a bet,
as a percentage of the bank, from the probability of the event and the
decimal odds, and the probabilities that the bank will ever fall to 60%,
40%, 20% and 10% of its start, for that stake or for a stake of your own.
.
The same calculation runs from the command line, for one bet or for a CSV
file of bets, with no display needed. The window and its help are in
Russian.")
set(CPACK_PACKAGE_CONTACT "The Brelmont developers <${BRELMONT_SUPPORT_EMAIL}>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The help travels at the end of the program file; stripping would cut it off. The build has already moved
# the debug information out of the programs (cmake/DebugInfo.cmake).
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# As Debian's own packages are: xz packs the program's artwork and code a fifth smaller than gzip.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${BRELMONT_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BRELMONT_SITE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts with the widths the windows were laid out for, and Qt's own texts in Russian. The packed relative
# relocations need the loader of glibc 2.36, which dpkg-shlibdeps does not infer from them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n, libc6 (>= 2.36)")
# Links open in the desktop's browser and mail program through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# Two runs from one commit give the same bytes: cpack takes its time stamps from the last commit, or from
# debian/changelog outside a repository, unless SOURCE_DATE_EPOCH is already set.
set(CPACK_BRELMONT_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${packaging}/SourceDateEpoch.cmake)
include(CPack)

# The package as lintian, AppStream and the desktop see it; cpack needs the whole build, so this runs after
# the other tests of the build it belongs to.
add_test(NAME package_check
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/tests/PackageCheck.sh ${PROJECT_BINARY_DIR}
                 ${PROJECT_BINARY_DIR}/package-check)
set_tests_properties(package_check PROPERTIES LABELS package TIMEOUT 600 RUN_SERIAL TRUE)

if(BUILD_TESTING)
    add_test(NAME packaging_scripts COMMAND ${packaging}/tests/ScriptsTest.sh ${packaging})
endif()
