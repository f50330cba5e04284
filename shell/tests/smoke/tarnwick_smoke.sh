#!/usr/bin/env bash
# The built Tarnwick as its operator starts it, on the X server of
# scripts/with-xvfb.sh (1280 x 1024, no window manager): the demo program
# opened from a copy of data/, "2D Simulation" and Start clicked with the
# real pointer (xdotool), the run's end seen on the screen (Rewind lit, Start
# greyed), then File > Exit, which ends the program without a prompt.
# Usage: tarnwick_smoke.sh TARNWICK DATA_DIR
set -euo pipefail
tw=${1:?Tarnwick}; data=${2:?data folder}
work=$(mktemp -d)
pid=
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
# A step that fails outside fail() still says where it stopped.
trap 'echo "smoke: stopped at line $LINENO: $BASH_COMMAND"' ERR
fail() { echo "smoke: $*"; import -window root "$work/fail.png" 2>/dev/null && \
         cp "$work/fail.png" "${SMOKE_SHOT:-/dev/null}" 2>/dev/null; exit 1; }

cp -r "$data" "$work/data"
mkdir -m 700 "$work/run" "$work/home"
cd "$work/data"
HOME="$work/home" XDG_RUNTIME_DIR="$work/run" ORV_CLASS_REGISTRY="$work/classes.reg" \
    ORVELLAN_PROGRAM_DIR="$PWD" "$tw" programs/demo.fnc >"$work/tarnwick.log" 2>&1 &
pid=$!

# The main window, at the screen's top-left corner and as large as the seat's.
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Orvellan' | head -1) ||
    fail "the main window did not show"
xdotool windowmove "$window" 0 0 windowsize "$window" 1280 1000
for _ in $(seq 100); do
    geometry=$(xdotool getwindowgeometry "$window")
    [[ $geometry == *"Position: 0,0"* && $geometry == *"Geometry: 1280x1000"* ]] && break
    sleep 0.1
done

# A pixel of the screen as "#RRGGBB".
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
# Waits up to $1 seconds until the command $2... succeeds.
within() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
click() { xdotool mousemove "$1" "$2" click 1; }

# The toolbar as Tarnwick lays it out on this screen (the buttons' drawn
# centres): Start and Rewind on File Control, 2D Simulation on Outputs. A
# glyph is grey (#808080) while its button is disabled; Start's is green.
start=(26 46) rewind=(116 46) twoD=(251 39)
grey='#808080' green='#00A000'
ready() { [ "$(pixel "${start[@]}")" = "$green" ] && [ "$(pixel "${rewind[@]}")" = "$grey" ]; }
ended() { [ "$(pixel "${start[@]}")" = "$grey" ] && [ "$(pixel "${rewind[@]}")" != "$grey" ]; }
within 60 ready || fail "the toolbar is not ready to start (Start lit, Rewind grey)"

click "${twoD[@]}"
click "${start[@]}"
within 120 ended || fail "the run did not end (Start still lit or Rewind grey)"

# File > Exit by the pointer: the menu's title, then its last item.
click 20 8
sleep 1
click 44 207
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
    fail "Tarnwick is still running after File > Exit (a prompt?)"
fi
wait "$pid" || fail "Tarnwick ended with status $?"
pid=
echo "smoke: the demo ran to its end and File > Exit ended Tarnwick"
