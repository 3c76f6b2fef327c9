#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up benchmark: time from exec to the main window mapped and peak resident memory, for Brelmont and for
# two Qt Widgets baselines of the same size measured in the same run: an empty window, and a window showing
# the main window's texts in its fonts at its sizes (what any program with these texts pays for its fonts);
# then the CPU time Brelmont uses over 10 idle seconds after start. Runs on a private Xvfb without a window
# manager.
# Usage: app/bench/startup.sh [BUILD_DIR] [ROUNDS]   (default build/default, 5 rounds; median reported)
# Goals: time <= 1.3x and memory <= 1.15x the text window; idle CPU < 20 ms in 10 s.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build/default}" && pwd)
rounds=${2:-5}

if [[ -z ${BRELMONT_BENCH_ON_XVFB:-} ]]; then
    export BRELMONT_BENCH_ON_XVFB=1
    exec "$root/scripts/with-xvfb.sh" "$0" "$build" "$rounds"
fi

program=$build/app/Brelmont
empty=$build/app/brelmont_empty_window
texts=$build/app/brelmont_text_window
waiter=$build/app/brelmont_waitmapped
for f in "$program" "$empty" "$texts" "$waiter"; do
    [[ -x $f ]] || { echo "startup.sh: $f is not built" >&2; exit 1; }
done

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
trap 'rm -rf "$runtime"' EXIT

# CPU time (user and system) of a process, in milliseconds; the kernel counts it in clock ticks.
cpu_ms() {
    awk -v hz="$(getconf CLK_TCK)" '{print ($14 + $15) * 1000 / hz}' /proc/"$1"/stat
}

peak_kb() { awk '/^VmHWM:/ {print $2}' /proc/"$1"/status; }

stop() {
    kill -TERM "$1" 2>/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -KILL "$1" 2>/dev/null || true
}

# One start: prints "milliseconds peak_kb"; leaves the pid in $last_pid when keep=1.
measure() {
    local binary=$1 keep=${2:-0} out pid ms kb
    out=$("$waiter" "$binary")
    pid=${out%% *}
    ms=${out#* }
    sleep 1
    kb=$(peak_kb "$pid")
    if ((keep)); then
        last_pid=$pid
    else
        stop "$pid"
    fi
    echo "$ms $kb"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# A first, unmeasured start of each warms the file cache for both alike.
measure "$program" >/dev/null
measure "$empty" >/dev/null
measure "$texts" >/dev/null

p_ms=() p_kb=() e_ms=() e_kb=() t_ms=() t_kb=()
for _ in $(seq 1 "$rounds"); do
    read -r ms kb < <(measure "$program")
    p_ms+=("$ms") p_kb+=("$kb")
    read -r ms kb < <(measure "$empty")
    e_ms+=("$ms") e_kb+=("$kb")
    read -r ms kb < <(measure "$texts")
    t_ms+=("$ms") t_kb+=("$kb")
done

pm=$(printf '%s\n' "${p_ms[@]}" | median)
pk=$(printf '%s\n' "${p_kb[@]}" | median)
em=$(printf '%s\n' "${e_ms[@]}" | median)
ek=$(printf '%s\n' "${e_kb[@]}" | median)
tm=$(printf '%s\n' "${t_ms[@]}" | median)
tk=$(printf '%s\n' "${t_kb[@]}" | median)

last_pid=
measure "$program" 1 >/dev/null
before=$(cpu_ms "$last_pid")
sleep 10
after=$(cpu_ms "$last_pid")
stop "$last_pid"
idle_ms=$(awk -v a="$before" -v b="$after" 'BEGIN {printf "%.0f", b - a}')

awk -v hz="$(getconf CLK_TCK)" -v pm="$pm" -v em="$em" -v pk="$pk" -v ek="$ek" -v tm="$tm" -v tk="$tk" -v idle="$idle_ms" -v n="$rounds" 'BEGIN {
    printf "rounds (median of)      %d\n", n
    printf "time to window shown    Brelmont %.1f ms   empty window %.1f ms (ratio %.2f)   text window %.1f ms (ratio %.2f, goal <= 1.30)\n", pm, em, pm / em, tm, pm / tm
    printf "peak resident memory    Brelmont %d KiB   empty window %d KiB (ratio %.2f)   text window %d KiB (ratio %.2f, goal <= 1.15)\n", pk, ek, pk / ek, tk, pk / tk
    printf "idle CPU over 10 s      %d ms, counted in %d ms ticks (goal < 20)\n", idle, 1000 / hz
}'
