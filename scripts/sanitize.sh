#!/usr/bin/env bash
# The sanitizer pass: builds every library and test with the address and
# undefined-behaviour sanitizers into build-asan/ (benchmarks left out) and
# runs the whole test suite there with ctest. Any sanitizer report fails
# its test. Extra arguments go to ctest (e.g. -R engine_core).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${ASAN_BUILD_DIR:-build-asan}
if [ ! -f "$BUILD/build.ninja" ]; then
    # -O1 keeps the build and the run quick while the reports stay exact;
    # -g1 gives the reports their file and line.
    cmake -S . -B "$BUILD" -G Ninja -DORV_SANITIZE=ON -DORV_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1"
fi
cmake --build "$BUILD" -j "${BUILD_JOBS:-$(nproc)}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" --timeout 600 "$@"
