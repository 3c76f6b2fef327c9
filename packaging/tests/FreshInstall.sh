#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the built package on a fresh, minimal Debian 12 (a debootstrap chroot), as a user would with apt:
# the program answers on its command line, starts under Xvfb, opens its help viewer from the Help button and
# its risk chart and its window for several bets from the installed modules,
# and after the package is purged nothing of it is left on the machine. Run as root; takes a few minutes
# (apt downloads the Qt libraries), so it is not part of scripts/test.sh.
# Usage: FreshInstall.sh PACKAGE.deb
# FRESH_BASE names a tar of a minimal Debian 12 root to start from (default /var/tmp/fresh-debian12.tar,
# which ../shared/tools/fresh-machine-check makes); without one, debootstrap makes the root here from the
# mirror in the host's apt sources (one-line or deb822). When it cannot run, it says why and exits 2.
# With brelmont-dbgsym_*.deb beside PACKAGE.deb, that is installed too and gdb must name the program's functions.
set -euo pipefail
source "$(dirname "$0")/DebianRoot.sh"
if [[ $# -lt 1 || ! -f $1 ]]; then
    echo "FreshInstall: cannot run: ${1:-no package given} is not a file (usage: FreshInstall.sh PACKAGE.deb)" >&2
    exit 2
fi
deb=$(realpath "$1")
# A debug package beside it is installed too, and gdb must then name the program's functions.
dbgsym=$(ls "$(dirname "$deb")"/brelmont-dbgsym_*.deb 2>/dev/null | head -n1 || true)
root=$(mktemp -d /var/tmp/brelmont-fresh-XXXX)
# The chroot gets a /dev of its own, never the host's: removing the root must not reach into the host.
cleanup() {
    local pid
    for pid in /proc/[0-9]*; do
        [[ $(readlink "$pid/root" 2>/dev/null) == "$root"* ]] && kill -KILL "${pid#/proc/}" 2>/dev/null
    done
    sleep 0.5
    for m in tmp dev/pts dev proc; do umount "$root/$m" 2>/dev/null || true; done
    if grep -q " $root" /proc/mounts; then
        echo "FreshInstall: $root is still mounted; not removing it" >&2
        return
    fi
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT

make_debian_root "$root" || { echo "FreshInstall: see above" >&2; exit 2; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t tmpfs -o mode=755 devtmp "$root/dev"
for node in "null c 1 3" "zero c 1 5" "full c 1 7" "random c 1 8" "urandom c 1 9" "tty c 5 0"; do
    read -r name type major minor <<<"$node"
    mknod -m 666 "$root/dev/$name" "$type" "$major" "$minor"
done
mkdir "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
ln -s /proc/self/fd "$root/dev/fd"
mount -t tmpfs tmpfs "$root/tmp"
cp "$deb" "$root/tmp/"
[[ -n $dbgsym ]] && mkdir "$root/tmp/dbgsym" && cp "$dbgsym" "$root/tmp/dbgsym/"

# Every file of the machine outside the volatile places: taken before the install and after the purge.
cat >"$root/tmp/snapshot.sh" <<'INSIDE'
snapshot() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run -o -path /var/cache \
        -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log -o -path /root \) -prune -o -print | sort
}
INSIDE
cat >"$root/tmp/inside.sh" <<'INSIDE'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
deb=$(ls /tmp/brelmont_*.deb)
apt-get update -q >/dev/null
# The tools of this check first, so that the snapshots below differ only by what the package brings.
apt-get install -y -q --no-install-recommends xvfb xauth xdotool openbox x11-utils procps binutils gdb >/dev/null
# gdb compiles its Python helpers on its first run; let that happen before the snapshot.
gdb -batch -ex quit >/dev/null 2>&1 || true
source /tmp/snapshot.sh
snapshot >/tmp/before
apt-get install -y -q --no-install-recommends "$deb" >/dev/null
echo "installed: $(dpkg-query -W -f='${Package} ${Version} ${Installed-Size} KB' brelmont)"
command -v brelmont-help >/dev/null && { echo "FAIL: brelmont-help is on PATH"; exit 1; }
man -w Brelmont >/dev/null 2>&1 || test -f /usr/share/man/man1/Brelmont.1.gz

Brelmont --version
if [[ -d /tmp/dbgsym ]]; then
    apt-get install -y -q --no-install-recommends /tmp/dbgsym/*.deb >/dev/null
    gdb -batch -ex 'info functions RunCommandLine' /usr/bin/Brelmont 2>&1 | grep -q 'RunCommandLine(int, char\*\*)' ||
        { echo "FAIL: gdb finds no symbols with brelmont-dbgsym installed"; exit 1; }
    echo "gdb names the program's functions from brelmont-dbgsym"
    apt-get purge -y -q brelmont-dbgsym >/dev/null
fi
Brelmont --probability 55 --odds 2
printf '55;2\n55;2;5\n' | Brelmont --batch -
# Several bets and fair odds borrow the several-bets module from the installed module folder.
printf 'A;2;55\nB;2,2;50\n' | Brelmont --bets -
Brelmont --fair '2,6;2,4;4,3'
set +e
Brelmont 2>/tmp/nodisplay; echo "without a display: status $? ($(cat /tmp/nodisplay))"
set -e

INSIDE
# The window part runs without a network of its own: X clients reach their server by an abstract socket
# name, and the host's other X servers must stay out of reach.
cat >"$root/tmp/window.sh" <<'INSIDE'
set -euo pipefail
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>/tmp/display 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 1 600); do [[ -s /tmp/display ]] && break; sleep 0.1; done
export DISPLAY=:$(tr -d '\n' </tmp/display)
openbox --sm-disable >/dev/null 2>&1 &
# A window mapped while the manager is still starting may be redirected to it and then never shown, whatever
# the program (a bare Qt window fares the same); a desktop's manager is running long before any program starts.
for _ in $(seq 1 600); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
export XDG_RUNTIME_DIR=/tmp/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# Prints the visible window of process PID titled exactly TITLE once it shows, nothing if it never does. The
# first start on a fresh machine reads every font without a cache; a minute covers a loaded machine.
wait_window() {
    local found=
    for _ in $(seq 1 1200); do
        found=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -n1 || true)
        [[ -n $found ]] && break
        sleep 0.05
    done
    echo "$found"
}
Brelmont >/tmp/program.log 2>&1 &
pid=$!
window=$(wait_window $pid 'Вычисление по методу Келли')
[[ -n $window ]] || { echo "FAIL: no main window"; cat /tmp/program.log; exit 1; }
echo "main window shown"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
# Once framed, the window centres its frame: click only where it has come to rest.
last=
for _ in $(seq 1 50); do
    now=$(xdotool getwindowgeometry "$window" 2>/dev/null | grep Position || true)
    [[ -n $now && $now == "$last" ]] && break
    last=$now
    sleep 0.2
done
xdotool mousemove --window "$window" 258 97 click 1
viewer=
for _ in $(seq 1 1200); do
    viewer=$(xdotool search --onlyvisible --name '^Справка Windows$' 2>/dev/null | head -n1 || true)
    [[ -n $viewer ]] && break
    sleep 0.05
done
if [[ -z $viewer ]]; then
    echo "FAIL: the Help button showed no viewer"
    pgrep -a brelmont-help || echo "(no viewer process)"
    xwininfo -root -tree | grep -E '"[^"]+"' | grep -v 'has no name'
    cat /tmp/program.log
    exit 1
fi
echo "help viewer shown: $(xdotool getwindowname "$viewer")"
# Ctrl+R loads the risk chart's module from the package's library folder.
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+r >/dev/null 2>&1 || true
chart=$(wait_window $pid 'График риска')
[[ -n $chart ]] || { echo "FAIL: Ctrl+R showed no risk chart"; cat /tmp/program.log; exit 1; }
echo "risk chart shown"
# Ctrl+B loads the several-bets window's module from the same folder.
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+b >/dev/null 2>&1 || true
several=$(wait_window $pid 'Несколько ставок')
[[ -n $several ]] || { echo "FAIL: Ctrl+B showed no window for several bets"; cat /tmp/program.log; exit 1; }
echo "several bets shown"
kill -TERM $pid
wait $pid || true
for _ in $(seq 1 100); do pgrep -x brelmont-help >/dev/null || break; sleep 0.05; done
pgrep -x brelmont-help >/dev/null && { echo "FAIL: the viewer outlived the program"; exit 1; }
[[ -z $(ls -A "$XDG_RUNTIME_DIR") ]] || { echo "FAIL: left in the runtime folder: $(ls -A "$XDG_RUNTIME_DIR")"; exit 1; }

# A packager's strip cuts the help archive off the program's end: such a copy says so in its error box.
mkdir -m 700 /tmp/stripped
cp /usr/bin/Brelmont /tmp/stripped/Brelmont
strip --strip-unneeded /tmp/stripped/Brelmont
/tmp/stripped/Brelmont >/tmp/stripped.log 2>&1 &
pid=$!
box=$(wait_window $pid Brelmont)
[[ -n $box ]] || { echo "FAIL: the stripped program showed no error box"; cat /tmp/stripped.log; exit 1; }
echo "stripped copy: error box shown"
kill -TERM $pid
wait $pid || true
rm -rf /tmp/stripped

source /tmp/snapshot.sh
export DEBIAN_FRONTEND=noninteractive
apt-get purge -y -q brelmont >/dev/null
apt-get autoremove --purge -y -q >/dev/null
snapshot >/tmp/after
# A dependency that apt keeps because a package installed before still recommends it is not left by us:
# only paths that no installed package owns count.
left=$(comm -13 /tmp/before /tmp/after | while read -r path; do dpkg -S "$path" >/dev/null 2>&1 || echo "$path"; done)
kept=$(comm -13 /tmp/before /tmp/after | xargs -r dpkg -S 2>/dev/null | cut -d: -f1 | sort -u | tr '\n' ' ' || true)
[[ -n $kept ]] && echo "kept by apt for packages installed before: $kept"
if [[ -n $left ]]; then
    echo "FAIL: the purge left files behind:"
    echo "$left"
    exit 1
fi
echo "purged: nothing of the package left"
INSIDE
for step in inside window; do
    unshare=()
    [[ $step == window ]] && unshare=(unshare --net)
    "${unshare[@]}" chroot "$root" /usr/bin/env -i HOME=/root \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 /bin/bash "/tmp/$step.sh"
done
