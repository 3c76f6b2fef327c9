#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The built program on a real X server with a window manager (run through scripts/with-xvfb.sh --wm):
# it opens its window, unpacks its help into a work folder in a private runtime folder, and leaves no work
# folder behind when it is closed through the window manager (Alt+F4) or sent SIGTERM, SIGHUP or SIGINT. The Help
# button and F1 bring the help viewer to the front, Ctrl+R opens the risk chart, the desktop's action (--several)
# opens the window for several bets within the screen, and the viewer quits with the program. Two programs share
# one viewer, which goes with the last of them or with a killed one, whose work folder the next start removes.
# Screenshots of the main window, the About box, the risk chart, the several-bets window and the help viewer go
# to SHOT_DIR.
# With DESKTOP_FILE, the window's class is the one the menu entry names in StartupWMClass, so a desktop
# matches the running window to its entry.
# Usage: ProgramUnderX.sh PROGRAM SHOT_DIR [DESKTOP_FILE]
set -uo pipefail
# Job control, so the program started in the background does not begin with SIGINT ignored.
set -m
source "$(dirname "$0")/ProgramWindow.sh"
program=$1
shots=$2
desktop_file=${3:-}
mkdir -p "$shots"
title='Вычисление по методу Келли'
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Starts the program with a fresh private runtime folder, or the one given first, and the options given after it
# (any word beginning with "--"); sets pid, runtime and window.
start() {
    if [[ -n ${1:-} && ${1:-} != --* ]]; then
        runtime=$1
        shift
    else
        runtime=$(mktemp -d)
    fi
    chmod 700 "$runtime"
    local started=$EPOCHREALTIME
    XDG_RUNTIME_DIR=$runtime "$program" "$@" &
    pid=$!
    window=$(program_window "$pid" "$title")
    local took
    took=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%d", (b - a) * 1000 }')
    ((took > 10000)) && echo "note: the main window took $took ms to appear" >&2
    [[ -n $window ]] && return
    # Tell a window that never came from one that is not shown, and a program that died from one that hangs.
    local state=running
    kill -0 "$pid" 2>/dev/null || state="gone"
    local unmapped
    unmapped=$(xdotool search --all --pid "$pid" --name "^${title}\$" 2>/dev/null | head -n1)
    fail "no window appeared within $took ms (program $state$([[ -n $unmapped ]] && echo ", its window $unmapped exists unmapped"))"
}

# Reads a window's client area (x, y, w, h) and the frame extents the window manager drew round it (left,
# right, top, bottom; 0 without a frame) into the caller's variables of those names.
read_frame() {
    local info
    info=$(xwininfo -id "$1")
    x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    w=$(awk '/Width:/ {print $NF}' <<<"$info")
    h=$(awk '/Height:/ {print $NF}' <<<"$info")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,)
    left=${left:-0} right=${right:-0} top=${top:-0} bottom=${bottom:-0}
}

# A screenshot of a window with the frame the window manager drew around it.
shot() {
    local x y w h left right top bottom
    read_frame "$1"
    import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" +repage "$2"
}

# Succeeds when the window's whole frame, title bar included, stands in the middle of the 1280x1024 screen
# (to the pixel, as halving an odd size allows).
frame_centred() {
    local x y w h left right top bottom
    read_frame "$1"
    ((top > 0)) || return 1
    local dx=$((2 * (x - left) + w + left + right - 1280)) dy=$((2 * (y - top) + h + top + bottom - 1024))
    ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2))
}

# Prints the help viewer's window once it is shown, nothing when it never is.
wait_viewer() {
    local found
    for _ in $(seq 1 200); do
        found=$(xdotool search --onlyvisible --name '^Справка Windows$' 2>/dev/null | head -n1)
        [[ -n $found ]] && break
        sleep 0.05
    done
    echo "$found"
}

# A desktop's runtime folder holds other folders too (a D-Bus session adds dbus-1/): the work folder is the one
# with an eight-letter name.
work_folder_list() { find "$runtime" -mindepth 1 -maxdepth 1 -type d -regextype posix-extended -regex '.*/[a-z]{8}'; }
work_folders() { work_folder_list | wc -l; }

# Waits for the program PID to end; fails when it does not, or ends with an error.
ended() {
    local ending=$1 how=$2
    for _ in $(seq 1 200); do
        kill -0 "$ending" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$ending" 2>/dev/null; then
        fail "$how: the program is still running"
        kill -KILL "$ending"
    fi
    wait "$ending"
    local rc=$?
    ((rc == 0)) || fail "$how: exit status $rc"
}

# Waits for the program to end and leave no work folder behind.
finish() {
    local how=$1
    ended "$pid" "$how"
    (($(work_folders) == 0)) || fail "$how: a work folder was left behind: $(ls "$runtime")"
    rm -rf "$runtime"
}

start
if [[ -n $window ]]; then
    (($(work_folders) == 1)) || fail "expected one work folder, found $(work_folders)"
    folder=$(work_folder_list | head -n1)
    for f in help.hlp help.GID help.cnt 1.GID; do
        [[ -f $folder/$f ]] || fail "help file $f was not unpacked"
    done
    centred=0
    for _ in $(seq 1 100); do
        frame_centred "$window" && centred=1 && break
        sleep 0.05
    done
    ((centred)) || fail "the main window's frame is not centred on the screen"
    if [[ -n $desktop_file ]]; then
        wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_file")
        xprop -id "$window" WM_CLASS | grep -q ", \"$wm_class\"\$" ||
            fail "the window's class ($(xprop -id "$window" WM_CLASS)) is not StartupWMClass=$wm_class"
    fi
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    sleep 0.5
    import -window root -crop 1280x1024+0+0 "$shots/screen-main.png" || fail "screenshot"
    shot "$window" "$shots/main-window.png" || fail "window screenshot"
    # The About button (336,8 in the toolbar at 0,73) opens the About box.
    xdotool mousemove --window "$window" 352 97 click 1
    about=$(program_window "$pid" 'О программе')
    if [[ -n $about ]]; then
        sleep 1
        shot "$about" "$shots/about-box.png" || fail "About screenshot"
        xdotool windowactivate --sync "$about" key --clearmodifiers Escape >/dev/null 2>&1
        sleep 0.3
        [[ -n $(xdotool search --all --onlyvisible --pid "$pid" --name '^О программе$' 2>/dev/null) ]] ||
            fail "Escape closed the About box"
        xdotool windowactivate --sync "$about" key --clearmodifiers alt+F4 >/dev/null 2>&1
        sleep 0.3
    else
        fail "the About box did not open"
    fi
    # A calculation the way a person makes it: type, open the command panel, choose "compute all".
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    xdotool mousemove --window "$window" 233 241 click 1 type --delay 30 '55'
    xdotool key --clearmodifiers Tab type --delay 30 '2'
    xdotool mousemove --window "$window" 167 98 click 1 mousemove --window "$window" 45 177
    sleep 0.5
    shot "$window" "$shots/main-panel.png" || fail "panel screenshot"
    xdotool click 1 mousemove --window "$window" 420 300
    sleep 0.5
    shot "$window" "$shots/main-results.png" || fail "results screenshot"
    # Ctrl+R loads the risk chart's module from beside the program and opens its window.
    xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+r >/dev/null 2>&1
    chart=$(program_window "$pid" 'График риска')
    if [[ -n $chart ]]; then
        sleep 0.5
        shot "$chart" "$shots/risk-chart.png" || fail "risk chart screenshot"
        xdotool windowactivate --sync "$chart" key --clearmodifiers alt+F4 >/dev/null 2>&1
        # It stands partly over the main window, whose Help button is clicked next.
        for _ in $(seq 1 100); do
            [[ -z $(xdotool search --all --onlyvisible --pid "$pid" --name '^График риска$' 2>/dev/null) ]] && break
            sleep 0.05
        done
        xdotool windowactivate --sync "$window" >/dev/null 2>&1
    else
        fail "Ctrl+R opened no risk chart"
    fi
    # The Help button (242,8 in the toolbar) brings the help viewer to the front, showing the contents.
    xdotool mousemove --window "$window" 258 97 click 1
    viewer=$(wait_viewer)
    if [[ -n $viewer ]]; then
        [[ $(xdotool getactivewindow 2>/dev/null) == "$viewer" ]] || fail "the help viewer is not the active window"
        shot "$viewer" "$shots/help-viewer.png" || fail "help screenshot"
        # F1 in an input field asks for help again: the viewer comes back to the front.
        xdotool windowactivate --sync "$window" >/dev/null 2>&1
        xdotool mousemove --window "$window" 233 241 click 1 key --clearmodifiers F1
        for _ in $(seq 1 100); do
            [[ $(xdotool getactivewindow 2>/dev/null) == "$viewer" ]] && break
            sleep 0.05
        done
        [[ $(xdotool getactivewindow 2>/dev/null) == "$viewer" ]] || fail "F1 did not bring the help viewer back"
    else
        fail "the Help button showed no help viewer"
    fi
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 >/dev/null 2>&1
fi
finish "Alt+F4"
# Closing the program tells the viewer to quit.
for _ in $(seq 1 100); do
    [[ -z $(xdotool search --onlyvisible --name '^Справка Windows$' 2>/dev/null) ]] && break
    sleep 0.05
done
[[ -z $(xdotool search --onlyvisible --name '^Справка Windows$' 2>/dev/null) ]] || fail "the help viewer outlived the program"

# A logout, a kill and Ctrl+C close the window the same way.
for signal in TERM HUP INT; do
    start
    kill -"$signal" "$pid"
    finish "SIG$signal"
done

# A signal while the About box holds the program in its modal loop still ends it cleanly.
start
if [[ -n $window ]]; then
    xdotool mousemove --window "$window" 352 97 click 1
    sleep 0.5
fi
kill -TERM "$pid"
finish "SIGTERM with the About box open"

# Succeeds once no help viewer window is shown (within 10 s).
viewer_gone() {
    for _ in $(seq 1 200); do
        [[ -z $(xdotool search --onlyvisible --name '^Справка Windows$' 2>/dev/null) ]] && return 0
        sleep 0.05
    done
    return 1
}

# Clicks the Help button of WINDOW and waits for the viewer to be the active window; prints the viewer.
ask_help() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool mousemove --window "$1" 258 97 click 1
    local found
    found=$(wait_viewer)
    for _ in $(seq 1 200); do
        [[ -n $found && $(xdotool getactivewindow 2>/dev/null) == "$found" ]] && break
        sleep 0.05
    done
    echo "$found"
}

# Two programs share one help viewer: quitting the second leaves the first one's help open, and the viewer
# goes with the last of them.
start
first=$pid firstwindow=$window shared=$runtime
if [[ -n $firstwindow ]]; then
    viewer=$(ask_help "$firstwindow")
    [[ -n $viewer ]] || fail "two programs: the first one's Help showed no viewer"
    start "$shared"
    if [[ -n $window ]]; then
        [[ $(ask_help "$window") == "$viewer" ]] || fail "two programs: the second one's Help showed another viewer"
        xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 >/dev/null 2>&1
        ended "$pid" "two programs: the second one's Alt+F4"
        # The second program waited for the viewer to take its quit: had the viewer gone, it would be going now.
        sleep 1
        [[ -n $(xdotool search --onlyvisible --name '^Справка Windows$' 2>/dev/null) ]] ||
            fail "quitting the second program closed the first one's help"
    fi
    xdotool windowactivate --sync "$firstwindow" key --clearmodifiers alt+F4 >/dev/null 2>&1
    ended "$first" "two programs: the first one's Alt+F4"
    viewer_gone || fail "the help viewer outlived the last program that used it"
fi
rm -rf "$shared"

# A killed program takes its help viewer with it, and its work folder goes at the next start.
start
if [[ -n $window ]]; then
    [[ -n $(ask_help "$window") ]] || fail "SIGKILL: the Help button showed no viewer"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    viewer_gone || fail "the help viewer outlived the killed program"
    # The window goes first; the socket goes as the viewer's process ends.
    for _ in $(seq 1 200); do
        [[ -z $(find "$runtime" -type s) ]] && break
        sleep 0.05
    done
    [[ -z $(find "$runtime" -type s) ]] || fail "SIGKILL: the viewer's socket was left behind: $(find "$runtime" -type s)"
    killed=$(work_folder_list)
    [[ -n $killed ]] || fail "SIGKILL: the killed program's work folder is already gone"
    start "$runtime"
    [[ -n $killed && -e $killed ]] && fail "the next start left the killed program's work folder: $killed"
    (($(work_folders) == 1)) || fail "after the next start: expected one work folder, found $(work_folders)"
    [[ -n $window ]] && xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 >/dev/null 2>&1
    finish "Alt+F4 after a killed run"
fi
# The desktop's action: the window for several bets opens with the main window, wholly on the screen, and goes
# when the main window closes.
start --several
several=$(program_window "$pid" 'Несколько ставок')
if [[ -n $several ]]; then
    sleep 0.5
    shot "$several" "$shots/several-bets.png" || fail "several bets screenshot"
    read_frame "$several"
    ((x - left >= 0 && y - top >= 0 && x + w + right <= 1280 && y + h + bottom <= 1024)) ||
        fail "the several-bets window stands off the screen: ${w}x$h at $x,$y"
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 >/dev/null 2>&1
else
    fail "--several opened no window for several bets"
    kill -TERM "$pid"
fi
finish "--several"

((failures == 0)) && echo "program under X: all checks passed"
exit $((failures > 0))
