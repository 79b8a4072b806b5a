#!/usr/bin/env bash
# Installs, builds and starts tovela against the stand-in service on loopback. The service
# keeps its data under the user's data folder and stops when the program exits.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup-debian.sh"
"$top/tools/build.sh" -DTOVELA_BUILD_TESTS=OFF
data="${XDG_DATA_HOME:-$HOME/.local/share}/tovela-service"
mkdir -p "$data"
log="$data/service.log"
"$top/build/service/tovela-service" --data "$data" --port 8470 --seed-demo-album >"$log" 2>&1 &
service=$!
stop_service() { kill "$service" 2>/dev/null || true; wait "$service" 2>/dev/null || true; }
trap stop_service EXIT
trap 'exit 130' INT TERM
# Wait for the service's first line, then show how to log in.
for _ in $(seq 50); do
    grep -q 'listening on' "$log" 2>/dev/null && break
    kill -0 "$service" 2>/dev/null || { cat "$log"; exit 1; }
    sleep 0.1
done
sed -n 's/^demo account: /Demo account (e-mail, password): /p' "$log"
echo "To see the album: open the order tab (注　文), log in on the order page that the browser"
echo "shows (the demo account is filled in), close tovela and run tools/run.sh again."
"$top/build/tovela"
