#!/usr/bin/env bash
# Installs, builds and starts tovela against the stand-in service on loopback.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup-debian.sh"
"$top/tools/build.sh" -DTOVELA_BUILD_TESTS=OFF
exec "$top/build/tovela"
