# SPDX-License-Identifier: MIT
# Sourced by the X tests of the program.
# program_window PID TITLE: prints the visible window of process PID titled exactly TITLE once it shows (up to
# 10 s), nothing if it never does. xdotool matches any one of its conditions unless told to match all.
program_window() {
    local found=
    for _ in $(seq 1 200); do
        found=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -n1)
        [[ -n $found ]] && break
        sleep 0.05
    done
    echo "$found"
}
