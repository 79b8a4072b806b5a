#!/usr/bin/env bash
# Fails when a tracked C or C++ file is not formatted as .clang-format says (clang-format 14,
# Debian 12's); `clang-format -i FILE` fixes one.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
