#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command on a private headless X server. With --wm an EWMH window manager runs on it too.
# Usage: scripts/with-xvfb.sh [--wm] COMMAND [ARGS...]
set -uo pipefail

wm=0
if [[ ${1:-} == --wm ]]; then
    wm=1
    shift
fi

# Let the server pick a free display itself, so that parallel tests never race for one.
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 1 100); do
    [[ -s $numfile ]] && break
    sleep 0.05
done
display=$(tr -d '\n' <"$numfile")
rm -f "$numfile"
if [[ -z $display ]]; then
    echo "with-xvfb: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    exit 1
fi
export DISPLAY=:$display

wmpid=
if ((wm)); then
    openbox --sm-disable >/dev/null 2>&1 &
    wmpid=$!
    for _ in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
fi

"$@"
rc=$?

[[ -n $wmpid ]] && kill "$wmpid" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait 2>/dev/null
exit "$rc"
