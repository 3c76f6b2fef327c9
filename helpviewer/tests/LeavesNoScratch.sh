#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program with a temporary folder of its own, and a private runtime folder inside it as a desktop
# session has, and fails when the program leaves anything in the temporary folder besides those two.
# Usage: LeavesNoScratch.sh COMMAND [ARGS...]
set -uo pipefail
scratch=$(mktemp -d)
mkdir -m 700 "$scratch/runtime"
TMPDIR=$scratch XDG_RUNTIME_DIR=$scratch/runtime "$@"
rc=$?
left=$(find "$scratch" -mindepth 1 -maxdepth 1 ! -name runtime)
rm -rf "$scratch"
if [[ -n $left ]]; then
    echo "FAIL: left behind in the temporary folder: $left" >&2
    exit 1
fi
exit "$rc"
