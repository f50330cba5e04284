#!/usr/bin/env bash
# Configures (once) and builds the tree into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD_DIR:-build}
if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
jobs=${BUILD_JOBS:-$(nproc)}
cmake --build "$BUILD" -j "$jobs"
