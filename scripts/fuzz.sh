#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the address and undefined-
# behaviour sanitizers into build-fuzz/ (the libraries under test carry the
# fuzzer's coverage, so it sees the code it drives), then runs each for a
# fixed number of inputs (FUZZ_RUNS, default 20000) over its seed corpus,
# FUZZ_JOBS targets at a time (default: one per processor). The runs are seeded,
# so a target that passed is run again only when it, its corpus or the number
# of runs has changed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-fuzz
if [ ! -f "$BUILD/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DORV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD" -j "${BUILD_JOBS:-$(nproc)}"
runs=${FUZZ_RUNS:-20000}

# True when Passed records a clean run of as many inputs, newer than the
# target, this script and everything in its corpus folder (an added or
# removed seed touches the folder itself).
unchanged_since_pass() {
    local target=$1 corpus=$2 passed=$3
    [ -f "$passed" ] && [ "$(cat "$passed")" = "$runs" ] || return 1
    [ "$passed" -nt "$target" ] && [ "$passed" -nt scripts/fuzz.sh ] || return 1
    [ -z "$corpus" ] || [ -z "$(find "$corpus" -newer "$passed" -print -quit)" ]
}
# One target's run; its status file says how it went.
run_target() {
    local target=$1 name corpus passed work
    name=$(basename "$target")
    corpus=$(find . -path ./build\* -prune -o -type d -path "*/fuzz/corpus_${name#fuzz_}" -print | head -1)
    passed="$BUILD/$name.passed"
    if unchanged_since_pass "$target" "$corpus" "$passed"; then
        echo "fuzz: $name (unchanged since its last clean run)"
        return 0
    fi
    rm -f "$passed"
    work=$(mktemp -d)
    [ -n "$corpus" ] && cp -r "$corpus"/. "$work"/
    echo "fuzz: $name ($runs runs)"
    # Inputs the fuzzer keeps (crashes, leaks, slow units on a busy machine)
    # go beside its log, not into the work tree's top folder.
    if ! "$target" -runs="$runs" -max_len=512 -seed=1 -artifact_prefix="$BUILD/$name-" "$work" \
        >"$BUILD/$name.log" 2>&1; then
        rm -rf "$work"
        tail -40 "$BUILD/$name.log"
        return 1
    fi
    rm -rf "$work"
    echo "$runs" >"$passed"
}

# The targets run side by side, as many at once as there are processors.
status=0
jobs=${FUZZ_JOBS:-$(nproc)}
running=0
for target in $(find "$BUILD" -maxdepth 3 -type f -name 'fuzz_*' -perm -u+x | sort); do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
    run_target "$target" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
