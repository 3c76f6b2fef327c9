#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The help viewer on a 1280x1024 X server with a window manager (run through scripts/with-xvfb.sh --wm), at the
# scales 1, 1.5 and 2: its whole frame, title bar included, stands inside the screen's work area, and its window
# carries an icon. At each scale it is then driven by keyboard: Ctrl+F, a word, Enter, the last topic found, and
# Shift+F10 in the search field. Screenshots of the screen after each step go to SHOT_DIR, to be looked at.
# Usage: ViewerUnderX.sh VIEWER HELP_DIR SHOT_DIR
set -uo pipefail
set -m
source "$(dirname "$0")/../../app/tests/ProgramWindow.sh"
viewer=$1
help=$2
shots=$3
mkdir -p "$shots"
failures=0
# A Russian keyboard, as the help's readers have: typed Cyrillic then needs no keys made up on the fly, which
# the toolkit may read before the server has them.
setxkbmap -layout us,ru 2>/dev/null

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The frame the window manager drew round a window: left top right bottom, in screen pixels.
frame_of() {
    local info x y w h left right top bottom
    info=$(xwininfo -id "$1") || return 1
    x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    w=$(awk '/Width:/ {print $NF}' <<<"$info")
    h=$(awk '/Height:/ {print $NF}' <<<"$info")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,)
    echo "$((x - ${left:-0})) $((y - ${top:-0})) $((x + w + ${right:-0})) $((y + h + ${bottom:-0}))"
}

# Succeeds when the window's frame lies inside the work area.
inside_work_area() {
    local fx fy fr fb ax ay aw ah
    read -r fx fy fr fb < <(frame_of "$1") || return 1
    read -r ax ay aw ah < <(xprop -root _NET_WORKAREA | grep -o '= .*' | tr -d '=,' | awk '{print $1, $2, $3, $4}')
    ((fx >= ax && fy >= ay && fr <= ax + aw && fb <= ay + ah))
}

for scale in 1 1.5 2; do
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    XDG_RUNTIME_DIR=$runtime QT_SCALE_FACTOR=$scale "$viewer" "$help/help.hlp" >/dev/null &
    pid=$!
    window=$(program_window "$pid" 'Справка Windows')
    if [[ -z $window ]]; then
        fail "no viewer window at ${scale}x"
    else
        # The window is fitted once the window manager has framed it; the frame comes a moment after the map.
        placed=0
        for _ in $(seq 1 100); do
            [[ -n $(xprop -id "$window" _NET_FRAME_EXTENTS | grep -o '[0-9]') ]] && inside_work_area "$window" &&
                placed=1 && break
            sleep 0.05
        done
        ((placed)) || fail "at ${scale}x the viewer's frame $(frame_of "$window") leaves the work area"
        # Read whole: grep -q would leave early and break xprop's pipe.
        [[ $(xprop -id "$window" _NET_WM_ICON) == *=* ]] || fail "at ${scale}x the viewer's window has no icon"
        import -window root "$shots/viewer-${scale}x.png" || fail "screenshot at ${scale}x"

        xdotool windowactivate --sync "$window" 2>/dev/null
        xdotool key --clearmodifiers ctrl+f
        xdotool type --delay 50 'риск'
        # Enter opens the first topic found; End and Enter in the list the last, with more hits.
        xdotool key Return End Return
        sleep 0.5
        import -window root "$shots/viewer-search-${scale}x.png" || fail "search screenshot at ${scale}x"
        xdotool key --clearmodifiers ctrl+f shift+F10
        sleep 0.5
        import -window root "$shots/viewer-menu-${scale}x.png" || fail "menu screenshot at ${scale}x"
        xdotool key Escape
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -rf "$runtime"
done

((failures == 0)) || exit 1
echo "viewer under X: all checks passed"
