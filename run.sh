#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarnwick on the demo program
# in a working folder made from data/ on first use (kept between runs).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
WORK=work
if [ ! -d "$WORK" ]; then
    cp -r data "$WORK"
fi
cd "$WORK"
# The program's own files (translations, cycle definitions, the settings
# beside the program) live in the working folder too.
export ORVELLAN_PROGRAM_DIR="$PWD"
exec ../build/shell/Tarnwick "${@:-programs/demo.fnc}"
