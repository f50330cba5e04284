#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the address and undefined-
# behaviour sanitizers into build-fuzz/, then runs each for a fixed number of
# inputs (FUZZ_RUNS, default 20000) over its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-fuzz
if [ ! -f "$BUILD/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DORV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD" -j "${BUILD_JOBS:-$(nproc)}"
runs=${FUZZ_RUNS:-20000}
status=0
for target in $(find "$BUILD" -maxdepth 3 -type f -name 'fuzz_*' -perm -u+x | sort); do
    name=$(basename "$target")
    corpus=$(find . -path ./build\* -prune -o -type d -path "*/fuzz/corpus_${name#fuzz_}" -print | head -1)
    work=$(mktemp -d)
    [ -n "$corpus" ] && cp -r "$corpus"/. "$work"/
    echo "fuzz: $name ($runs runs)"
    if ! "$target" -runs="$runs" -max_len=512 -seed=1 "$work" >"$BUILD/$name.log" 2>&1; then
        tail -40 "$BUILD/$name.log"
        status=1
    fi
    rm -rf "$work"
done
exit $status
