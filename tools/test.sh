#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs the whole test suite.
# Extra CMake arguments pass through to the build (CI adds -DCMAKE_COMPILE_WARNING_AS_ERROR=ON).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup-debian.sh" --tests
"$top/tools/build.sh" -DTOVELA_BUILD_TESTS=ON "$@"
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
