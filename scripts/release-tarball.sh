#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the release tarball brelmont-<version>.tar.xz from a commit of the repository (HEAD, or the tag given):
# the committed files only, never a build tree, with every time stamp that of the commit, so the same commit
# always gives the same bytes. Debian's source package builds from it renamed brelmont_<version>.orig.tar.xz.
# Usage: scripts/release-tarball.sh [REF] [OUTPUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
ref=${1:-HEAD}
out=$(realpath "${2:-.}")
version=$(git show "$ref:CMakeLists.txt" | sed -n 's/^project(Brelmont VERSION \([0-9.]*\).*/\1/p')
[[ -n $version ]] || { echo "release-tarball: no project version in $ref:CMakeLists.txt" >&2; exit 1; }
changelog=$(git show "$ref:debian/changelog" | sed -n '1s/^brelmont (\([^)-]*\)-[^)]*).*/\1/p')
if [[ $changelog != "$version" ]]; then
    echo "release-tarball: debian/changelog names $changelog, CMakeLists.txt $version" >&2
    exit 1
fi
tarball=$out/brelmont-$version.tar.xz
git archive --format=tar --prefix="brelmont-$version/" "$ref" | xz -9 -T1 >"$tarball.part"
mv "$tarball.part" "$tarball"
echo "$tarball"
