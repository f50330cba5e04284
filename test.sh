#!/usr/bin/env bash
# Installs what is missing, builds, runs the fuzz targets for a short fixed
# number of inputs (SKIP_FUZZ=1 leaves them out), then every test with ctest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
if [ "${SKIP_FUZZ:-0}" != "1" ]; then
    scripts/fuzz.sh
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
