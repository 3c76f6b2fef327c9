#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the program and the tests need, and nothing when they are all there.
set -euo pipefail

packages=(
    # toolchain
    g++ clang libclang-rt-14-dev cmake ninja-build pkgconf git
    # test and benchmark libraries
    libgtest-dev libgmock-dev libbenchmark-dev
    # user interface
    qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
    # the joint stakes of several bets: Eigen (header-only, nothing at run time) for the Newton steps, and
    # NLopt only in the benchmark, as the derivative-free baseline the solver is measured against
    libeigen3-dev libnlopt-cxx-dev
    # the risk chart (Qt Charts asks for the OpenGL module when configured) and saving it as SVG
    qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
    # Qt's own texts (context menus, the file dialog, its error messages) in Russian
    qt6-translations-l10n
    # keystrokes and window activation on X11
    libx11-dev libxtst-dev
    # pictures and fonts
    libjpeg62-turbo-dev fonts-liberation fonts-dejavu-core libfontconfig-dev
    # headless X for the tests that need a real display, a window manager, and screenshots
    xvfb xauth x11-utils xdotool openbox imagemagick
    # a desktop session bus, the accessibility bus and a screen reader's client library for the AT-SPI test
    dbus dbus-x11 at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    # packaging, and the checks of the package and its desktop files
    dpkg-dev file binutils lintian appstream desktop-file-utils debootstrap
    # the Debian source package's build, its completion's home, and the debugger that reads its symbols
    debhelper devscripts bash-completion gdb
    # the formatting check of the test command
    clang-format
    # the multi-bet library's linear algebra
    libeigen3-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
