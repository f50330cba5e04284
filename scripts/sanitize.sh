#!/usr/bin/env bash
# The sanitizer pass: builds the libraries and the core tests (every test
# binary without widgets, label "core") with the address and undefined-
# behaviour sanitizers into build-asan/ and runs those tests with ctest. Any
# sanitizer report fails its test. SANITIZE_ALL=1 builds and runs the whole
# suite, widget tests included (too long for the CI's time budget). Extra
# arguments go to ctest (e.g. -R engine_core).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${ASAN_BUILD_DIR:-build-asan}
if [ ! -f "$BUILD/build.ninja" ]; then
    # -O1 keeps the build and the run quick while the reports stay exact;
    # -g1 gives the reports their file and line.
    cmake -S . -B "$BUILD" -G Ninja -DORV_SANITIZE=ON -DORV_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1"
fi
jobs=${BUILD_JOBS:-$(nproc)}
select=(-L core)
if [ "${SANITIZE_ALL:-0}" = "1" ]; then
    cmake --build "$BUILD" -j "$jobs"
    select=()
else
    cmake --build "$BUILD" -j "$jobs" --target core_tests
fi
export QT_QPA_PLATFORM=offscreen
asan=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
asan=$asan:suppressions=$PWD/scripts/asan.supp
export ASAN_OPTIONS=${ASAN_OPTIONS:-$asan:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The tests that measure the peak memory and the stack depth of a run are
# left out: the sanitizer's quarantine and its stack frames on the heap are
# what they would measure.
measuring='NcrunTest\.MillionMovesRunInConstantMemory|FormRun\.LongProgramRunsInConstantStackDepth'
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" --timeout 600 "${select[@]}" \
    -E "$measuring" "$@"
