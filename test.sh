#!/usr/bin/env bash
# Installs what is missing, builds, runs every test with ctest, then the
# fuzz targets for a short fixed number of runs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
if [ "${SKIP_FUZZ:-0}" != "1" ]; then
    scripts/fuzz.sh
fi
