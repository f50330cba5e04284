#!/usr/bin/env bash
# Runs a command inside a private X server (for tests that need OpenGL).
# Each call starts its own server with -displayfd, so parallel tests never
# race for a display number.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
read -r display <"$fifo"
rm -f "$fifo"
trap 'kill $xpid 2>/dev/null || true' EXIT
# Mesa's software renderer: the same pictures on every machine.
DISPLAY=":$display" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 "$@"
