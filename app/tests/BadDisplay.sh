#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program and the help viewer told to use an X display that does not answer, or started with no display at
# all: each says so in one Russian line and exits with status 1, instead of the toolkit's abort.
# Usage: BadDisplay.sh PROGRAM VIEWER
set -uo pipefail
failures=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT

# A display number no server uses: its socket is absent, and nothing listens on TCP without one.
display=:4711
while [[ -e /tmp/.X11-unix/X${display#:} ]]; do
    display=:$((${display#:} + 1))
done

check() {
    local what=$1
    shift
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>"$err" </dev/null >/dev/null
    local rc=$?
    local lines
    lines=$(wc -l <"$err")
    if ((rc != 1)); then
        echo "FAIL: $what: exit status $rc, expected 1" >&2
        failures=$((failures + 1))
    elif ((lines != 1)) || ! LC_ALL=C grep -q $'\xd0' "$err"; then
        echo "FAIL: $what: expected one Russian line, got:" >&2
        cat "$err" >&2
        failures=$((failures + 1))
    fi
}

check "program on $display" DISPLAY=$display "$1"
check "viewer on $display" DISPLAY=$display "$2"
check "viewer with no display" -u DISPLAY "$2"

((failures == 0)) && echo "bad display: all checks passed"
exit $((failures > 0))
