#!/usr/bin/env bash
# Median wall time from process start to first paint (offscreen), tovela against a bare window.
# Usage: bench/startup/run.sh BUILD_DIR [RUNS]
set -euo pipefail
bin="$1/bench/bench_startup"
runs="${2:-30}"
export QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$(mktemp -d)"
median() {
    local mode=$1 t=()
    for _ in $(seq "$runs"); do
        local s e
        s=$(date +%s%N)
        "$bin" "$mode" >/dev/null 2>&1
        e=$(date +%s%N)
        t+=($(( (e - s) / 1000 )))
    done
    printf '%s\n' "${t[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f ms\n", a[int((NR+1)/2)]/1000}'
}
echo "bare Qt window: $(median bare)"
echo "window + text:  $(median text)"
echo "tovela:         $(median tovela)"
