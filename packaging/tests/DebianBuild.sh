#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian source and binary packages from the release tarball as a packager would, on a fresh,
# minimal Debian 12 (a debootstrap chroot) holding only build-essential, devscripts and the Build-Depends:
# dpkg-buildpackage -us -uc with the tests that need no display, then lintian --pedantic on the .dsc, the
# .changes and both .deb files, and gdb finding the program's functions with brelmont-dbgsym beside it.
# The packages and the logs land in OUTPUT_DIR; packaging/tests/FreshInstall.sh then installs them.
# Run as root; it takes a quarter of an hour or more (apt and a full build), so it is not part of
# scripts/test.sh. DEB_BUILD_OPTIONS passes through (nocheck skips building and running the tests).
# Usage: DebianBuild.sh OUTPUT_DIR [REF]
set -euo pipefail
source "$(dirname "$0")/DebianRoot.sh"
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mkdir -p "$1" && realpath "$1")
ref=${2:-HEAD}
tarball=$("$src/scripts/release-tarball.sh" "$ref" "$out")
version=$(basename "$tarball" .tar.xz)
version=${version#brelmont-}

root=$(mktemp -d /var/tmp/brelmont-debbuild-XXXX)
cleanup() {
    for m in tmp dev/pts dev proc; do umount "$root/$m" 2>/dev/null || true; done
    grep -q " $root" /proc/mounts || rm -rf --one-file-system "$root"
}
trap cleanup EXIT
make_debian_root "$root" || { echo "DebianBuild: see above" >&2; exit 2; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mkdir -p "$root/build"
cp "$tarball" "$root/build/brelmont_$version.orig.tar.xz"

cat >"$root/build/inside.sh" <<INSIDE
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive DEB_BUILD_OPTIONS='${DEB_BUILD_OPTIONS:-}'
cd /build
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends build-essential devscripts >/dev/null
tar xJf brelmont_$version.orig.tar.xz
cd brelmont-$version
apt-get build-dep -y -q ./ >/dev/null
dpkg-buildpackage -us -uc >../dpkg-buildpackage.log 2>&1 || { tail -n 60 ../dpkg-buildpackage.log; exit 1; }
cd ..
apt-get install -y -q --no-install-recommends lintian gdb >/dev/null
set +e
lintian --pedantic --fail-on error,warning --tag-display-limit 0 -I *.changes *.dsc *.deb >lintian.log 2>&1
lintian_status=\$?
set -e
cat lintian.log
mkdir debug
for deb in *.deb; do dpkg -x "\$deb" debug; done
gdb -batch -iex 'set debug-file-directory /build/debug/usr/lib/debug' -ex 'info functions RunCommandLine' \
    debug/usr/bin/Brelmont >gdb.log 2>&1
grep -q 'RunCommandLine(int, char\*\*)' gdb.log || { echo "FAIL: gdb finds no RunCommandLine"; cat gdb.log; exit 1; }
echo "gdb names RunCommandLine from brelmont-dbgsym"
exit \$lintian_status
INSIDE
set +e
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 /bin/bash /build/inside.sh
status=$?
set -e
cp "$root"/build/*.deb "$root"/build/*.dsc "$root"/build/*.changes "$root"/build/*.buildinfo \
    "$root"/build/*.debian.tar.xz "$root"/build/*.log "$out/" 2>/dev/null || true
ls -l "$out"
exit $status
