# SPDX-License-Identifier: MIT
# Sourced by the X tests of the program.
# program_window PID TITLE: prints the visible window of process PID titled exactly TITLE once it shows, nothing
# if it has not within 30 s. The bound is a time, not a count of searches: on a loaded machine one search of the
# window tree may take a second or more. xdotool matches any one of its conditions unless told to match all.
program_window() {
    local found= deadline=$((SECONDS + 30))
    while :; do
        found=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -n1)
        [[ -n $found ]] && break
        ((SECONDS < deadline)) || break
        kill -0 "$1" 2>/dev/null || break
        sleep 0.05
    done
    echo "$found"
}
