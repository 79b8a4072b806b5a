#!/usr/bin/env bash
# The order page in a real browser: starts tovela-service, sends two pictures into a session's
# order the way a form post does, loads the order page in headless Chromium and checks that
# both pictures are on it, that the browser fetched them, and that they serve the bytes sent.
# Usage: order_page_browser.sh PATH/TO/tovela-service
# Exit 77 (skipped) when Chromium is missing, except under CI=true, where that is a failure.
set -euo pipefail

service_bin=${1:?usage: $0 PATH/TO/tovela-service}
fail() { echo "FAIL: $*" >&2; exit 1; }

browser=$(command -v chromium || command -v chromium-browser || true)
if [[ -z "$browser" ]]; then
    if [[ "${CI:-}" == "true" ]]; then
        fail "chromium is not installed (tools/setup-debian.sh --tests installs it)"
    fi
    echo "SKIP: chromium is not installed"
    exit 77
fi
for tool in curl cjpeg; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

work=$(mktemp -d)
service_pid=""
cleanup() {
    if [[ -n "$service_pid" ]]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"$service_bin" --data "$work/data" --port 0 --test-hooks >"$work/service.out" 2>"$work/service.err" &
service_pid=$!
for _ in $(seq 100); do
    grep -q '^demo account: ' "$work/service.out" 2>/dev/null && break
    kill -0 "$service_pid" 2>/dev/null || fail "tovela-service exited: $(cat "$work/service.err")"
    sleep 0.1
done
base=$(sed -n 's|^tovela-service listening on \(http://127\.0\.0\.1:[0-9]*\)$|\1|p' "$work/service.out")
[[ -n "$base" ]] || fail "no listening line from tovela-service"

sid=$(curl -sS --noproxy '*' "$base/wis/wi_login.php?mode=cookie_get")
[[ "$sid" =~ ^[0-9a-f]{32}$ ]] || fail "bad session id '$sid'"

# Two small real JPEG pictures of different sizes.
{ printf 'P6\n64 48\n255\n'; head -c $((64 * 48 * 3)) /dev/urandom; } >"$work/one.ppm"
{ printf 'P6\n40 30\n255\n'; head -c $((40 * 30 * 3)) /dev/urandom; } >"$work/two.ppm"
cjpeg -quality 90 "$work/one.ppm" >"$work/one.jpg"
cjpeg -quality 90 "$work/two.ppm" >"$work/two.jpg"

for pic in one two; do
    reply=$(curl -sS --noproxy '*' -F mode=upload \
        -F "file1=@$work/$pic.jpg;type=image/jpeg;filename=/home/user/写真/$pic-京都.jpg" \
        "$base/wis/wi_upload.php/$sid")
    [[ "$reply" == "OK" ]] || fail "upload of $pic answered '$reply'"
done

order_url="$base/wis/order.php?mode=select&sid=$sid"
timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --dump-dom "$order_url" >"$work/dom.html" 2>"$work/browser.err" ||
    fail "chromium failed: $(tail -5 "$work/browser.err")"

grep -q '<h1>ご注文</h1>' "$work/dom.html" || fail "the order page did not load: $(head -c 500 "$work/dom.html")"
for pic in one two; do
    grep -q "$pic-京都.jpg" "$work/dom.html" || fail "$pic-京都.jpg is not on the order page"
done
mapfile -t sources < <(grep -o '<img[^>]*src="[^"]*"' "$work/dom.html" | sed 's/.*src="\([^"]*\)"/\1/; s/&amp;/\&/g')
[[ ${#sources[@]} -eq 2 ]] || fail "expected 2 pictures on the page, found ${#sources[@]}"

# Each picture's address serves exactly the bytes that were sent, in the order sent.
i=0
for pic in one two; do
    curl -sS --noproxy '*' -o "$work/got-$pic" "$base${sources[$i]}"
    cmp -s "$work/$pic.jpg" "$work/got-$pic" || fail "${sources[$i]} does not serve $pic.jpg"
    i=$((i + 1))
done

# The browser itself fetched both pictures from the service.
fetched=$(curl -sS --noproxy '*' "$base/__test/requests" | grep -c '"path":"/wis/order_image.php".*HeadlessChrome' || true)
[[ "$fetched" -ge 2 ]] || fail "the browser fetched $fetched of the 2 pictures"

echo "PASS: the order page shows both pictures and serves their bytes"
