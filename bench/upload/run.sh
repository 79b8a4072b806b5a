#!/usr/bin/env bash
# Upload of one large file over loopback: the program (bench_upload) against
# `curl -F mode=upload -F file1=@FILE` to the same tovela-service in the same run, alternating,
# ROUNDS times each; prints the median throughputs, their ratio and the program's peak memory
# for a small and the large file (streaming: the peak must not follow the file's size).
# Usage: bench/upload/run.sh BUILD_DIR [MEGABYTES] [ROUNDS]
set -euo pipefail
build="$1"
mb="${2:-200}"
rounds="${3:-5}"
work="$(mktemp -d)"
trap 'kill "$service_pid" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$work/xdg"
mkdir -p "$work/xdg" "$work/data"

"$build/service/tovela-service" --data "$work/data" --port 0 >"$work/service.out" 2>&1 &
service_pid=$!
for _ in $(seq 50); do
    grep -q listening "$work/service.out" && break
    sleep 0.1
done
base="$(sed -n 's/^tovela-service listening on //p' "$work/service.out" | head -1)"
[ -n "$base" ] || { echo "service did not start"; exit 1; }

big="$work/big.jpg"
small="$work/small.jpg"
head -c "$((mb * 1000 * 1000))" /dev/urandom >"$big"
head -c "$((1000 * 1000))" /dev/urandom >"$small"

sid="$(curl -s "$base/wis/wi_login.php?mode=cookie_get")"
tovela=() curl_rates=()
run_tovela() {
    local line
    line="$("$build/bench/bench_upload" "$base" "$big")"
    tovela+=("$(awk '{print $6}' <<<"$line")")
    hwm_big="$(awk '{print $8 " kB before the batch, " $10 " kB after"}' <<<"$line")"
}
run_curl() {
    local t
    # No "Expect: 100-continue" wait, like the program's client.
    t="$(curl -s -o /dev/null -w '%{time_total}' -H 'Expect:' -b "sid=$sid" \
        -F mode=upload -F "file1=@$big" "$base/wis/wi_upload.php/$sid")"
    curl_rates+=("$(awk -v b="$((mb * 1000 * 1000))" -v t="$t" 'BEGIN {printf "%.1f", b / 1e6 / t}')")
}
for round in $(seq "$rounds"); do
    # Alternate who goes first, so that neither always meets the other's write-back.
    if ((round % 2)); then run_tovela; run_curl; else run_curl; run_tovela; fi
    # The stored copies are not needed; keep the disk from filling.
    find "$work/data" -type f -size +1M -delete
done
hwm_small="$(awk '{print $8 " kB before the batch, " $10 " kB after"}' \
    <<<"$("$build/bench/bench_upload" "$base" "$small")")"

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mt="$(median "${tovela[@]}")"
mc="$(median "${curl_rates[@]}")"
echo "file: ${mb} MB, rounds: $rounds"
echo "tovela runs (MB/s): ${tovela[*]}"
echo "curl runs   (MB/s): ${curl_rates[*]}"
echo "median tovela: $mt MB/s   median curl: $mc MB/s   ratio: $(awk -v a="$mt" -v b="$mc" 'BEGIN {printf "%.3f", a / b}')"
echo "tovela peak memory (VmHWM), 1 MB file: $hwm_small"
echo "tovela peak memory (VmHWM), ${mb} MB file: $hwm_big"
