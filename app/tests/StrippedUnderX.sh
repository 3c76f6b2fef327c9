#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A copy of the built program stripped as a packager might strip it, on a real X server with a window manager
# (run through scripts/with-xvfb.sh --wm): it says in its error box that its help is damaged, and once that
# box is closed its main window opens all the same, and Ctrl+R, with no risk chart module beside the copy, says
# so in an error box; a SIGTERM while the box is up ends the program with its
# work folder removed. A screenshot of the box goes to SHOT_DIR.
# Usage: StrippedUnderX.sh PROGRAM SHOT_DIR
set -uo pipefail
set -m
source "$(dirname "$0")/ProgramWindow.sh"
program=$1
shots=$2
mkdir -p "$shots"
work=$(mktemp -d)
chmod 700 "$work"
trap 'rm -rf "$work"' EXIT
# The error box is captioned with the program's file name, so the copy keeps the real one.
cp "$program" "$work/Brelmont"
strip --strip-unneeded "$work/Brelmont"

mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime "$work/Brelmont" &
pid=$!
box=$(program_window "$pid" Brelmont)
if [[ -z $box ]]; then
    echo "FAIL: the stripped program showed no error box" >&2
    kill "$pid"
    exit 1
fi
import -window "$box" "$shots/stripped-help-damaged.png" 2>/dev/null
xdotool windowactivate --sync "$box" key --clearmodifiers Return
main=$(program_window "$pid" 'Вычисление по методу Келли')
status=0
if [[ -z $main ]]; then
    echo "FAIL: no main window after the error box" >&2
    status=1
else
    # No risk chart module lies beside the copy: Ctrl+R says so in an error box, and the program goes on.
    xdotool windowactivate --sync "$main" key --clearmodifiers ctrl+r
    box=$(program_window "$pid" Brelmont)
    if [[ -z $box ]]; then
        echo "FAIL: Ctrl+R without the risk chart module showed no error box" >&2
        status=1
    else
        import -window "$box" "$shots/stripped-no-chart-module.png" 2>/dev/null
        xdotool windowactivate --sync "$box" key --clearmodifiers Return
    fi
fi
kill -TERM "$pid"
wait "$pid"

# A logout while the box still waits for its OK.
XDG_RUNTIME_DIR=$work/runtime "$work/Brelmont" &
pid=$!
box=$(program_window "$pid" Brelmont)
if [[ -z $box ]]; then
    echo "FAIL: the stripped program showed no error box on its second start" >&2
    kill -KILL "$pid"
    exit 1
fi
kill -TERM "$pid"
for _ in $(seq 1 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: SIGTERM with the start-up error box open did not end the program" >&2
    kill -KILL "$pid"
    status=1
fi
wait "$pid"
# A D-Bus session may add dbus-1/ there: the work folder is the one with an eight-letter name.
left=$(find "$work/runtime" -mindepth 1 -maxdepth 1 -type d -regextype posix-extended -regex '.*/[a-z]{8}')
if [[ -n $left ]]; then
    echo "FAIL: a work folder was left behind: $left" >&2
    status=1
fi
exit "$status"
