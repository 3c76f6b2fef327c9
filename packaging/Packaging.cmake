# SPDX-License-Identifier: MIT
# Desktop integration and the Debian package. Included by app/CMakeLists.txt once the program target exists.
#     cmake --install <build dir> --prefix <prefix>       installs the program, its menu entry and icon
#     (cd <build dir> && cpack)                            builds brelmont_<version>_<arch>.deb

install(FILES ${CMAKE_CURRENT_LIST_DIR}/brelmont.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/art/rendered/brelmont.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brelmont RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelmont)
set(CPACK_PACKAGE_VENDOR "The Brelmont developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kelly criterion stake calculator for bettors")
set(CPACK_PACKAGE_CONTACT "The Brelmont developers <${BRELMONT_SUPPORT_EMAIL}>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The help travels at the end of the program file; stripping would cut it off.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BRELMONT_SITE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts with the widths the windows were laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Links open in the desktop's browser and mail program through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
