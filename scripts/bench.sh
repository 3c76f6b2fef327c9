#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs every benchmark. Each prints its figures next to a baseline measured in the same run, so the
# ratios hold on a busy machine too; none of them is a test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
bin=build/default
run() {
    echo "== $*"
    "$@"
}
run "$bin/stakecalc/stakecalc_bench" --benchmark_color=false
run "$bin/stakecalc/batch_bench"
run "$bin/helpdelivery/helpdelivery_bench" --benchmark_color=false
run "$bin/sendkeys/sendkeys_bench" --benchmark_color=false
run env QT_QPA_PLATFORM=offscreen "$bin/ui/widgets/widgets_bench" --benchmark_color=false
run env QT_QPA_PLATFORM=offscreen "$bin/ui/riskchart_bench" --benchmark_color=false
run scripts/with-xvfb.sh --wm "$bin/helpviewer/helpviewer_bench" --benchmark_color=false
run app/bench/startup.sh "$bin"
