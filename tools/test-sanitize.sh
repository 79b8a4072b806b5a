#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# (or with ThreadSanitizer into build-tsan/, given --thread) and runs it. Every process the
# tests start (the stand-in service included) writes its reports into one folder; any report there fails the run, even from a process whose exit
# status nobody reads. Extra CMake arguments pass through (e.g. a compiler launcher).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# --thread: ThreadSanitizer instead, into build-tsan/ (it cannot share a build with ASan).
mode=address
if [[ "${1:-}" == --thread ]]; then
    mode=thread
    shift
fi
if [[ $mode == thread ]]; then
    build="$top/build-tsan"
    flags="-fsanitize=thread -fno-omit-frame-pointer"
    link="-fsanitize=thread"
else
    build="$top/build-asan"
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    link="-fsanitize=address,undefined"
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
                                          -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# -O1 and line tables only: the instrumented build takes about 40 % less time than at -O2 with
# full debugging information (CI's time is mostly compiling). Reports keep every frame's
# function and the file and line of this project's frames, inlined ones included; a library
# template compiled out of line may lose its line.
optimize="-O1 -g1 -DNDEBUG"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVELA_BUILD_TESTS=ON \
      "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
      "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$optimize" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$optimize" \
      "-DCMAKE_EXE_LINKER_FLAGS=$link" \
      "-DCMAKE_SHARED_LINKER_FLAGS=$link" \
      "-DCMAKE_MODULE_LINKER_FLAGS=$link" \
      "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"

reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
supp="$top/tools/sanitize"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
# Qt, GLib and fontconfig are the system's uninstrumented builds: their own locking is invisible
# to ThreadSanitizer, so only accesses made from this project's instrumented code are checked.
export TSAN_OPTIONS="halt_on_error=0:second_deadlock_stack=1:ignore_noninstrumented_modules=1:log_path=$reports/tsan:suppressions=$supp/tsan.supp"
status=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 900) ||
    status=$?
if compgen -G "$reports/*" >/dev/null; then
    echo "sanitizer reports:" >&2
    for f in "$reports"/*; do
        echo "== $f" >&2
        cat "$f" >&2
    done
    status=1
fi
exit "$status"
