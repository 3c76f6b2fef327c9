#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test: the full build with GCC (user interface
# tests headless or under Xvfb), then the core again under AddressSanitizer and UndefinedBehaviorSanitizer
# with clang, where the fuzz targets run for a bounded time each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# Every C++ source file as the repository's .clang-format lays it out (build trees hold generated ones).
find . \( -path ./build -o -path ./debian -o -path ./.git \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror

# A distribution's build, with no tests and no GoogleTest, must at least configure.
cmake --preset packager >/dev/null
cmake --preset default
cmake --build --preset default
# Among these, package_check packs the quick package twice and compares the two, byte for byte.
ctest --preset default -LE xvfb
# The tests on a real X server wait for the real conditions (the window manager's answer, the toolkit's focus)
# and get no second try: a failure here is a fault to find.
ctest --preset default -L xvfb

cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize -LE fuzz
# Each fuzz target prints the coverage it reached; a blind one shows up as a small number here.
log=build/sanitize/fuzz.log
ctest --preset sanitize -L fuzz --verbose >"$log" 2>&1 || { cat "$log"; exit 1; }
grep "Final coverage" "$log"
