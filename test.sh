#!/usr/bin/env bash
# Installs what is missing, builds, runs the fuzz targets for a short fixed
# number of inputs (SKIP_FUZZ=1 leaves them out), then every test with ctest,
# then the sanitizer pass: the core tests again, built with the address and
# undefined-behaviour sanitizers (SKIP_SANITIZE=1 leaves it out).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
if [ "${SKIP_FUZZ:-0}" != "1" ]; then
    scripts/fuzz.sh
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
if [ "${SKIP_SANITIZE:-0}" != "1" ]; then
    scripts/sanitize.sh
fi
