#!/usr/bin/env bash
# Runs a command inside a private X server (for tests that need OpenGL).
# Each call starts its own server with -displayfd, so parallel tests never
# race for a display number. A server that dies before it names its display
# (seen on a loaded machine) is started again, up to three times, and its
# own words are shown when it never comes up.
set -euo pipefail
xlog=$(mktemp)
xpid=
trap '[ -n "$xpid" ] && kill $xpid 2>/dev/null; rm -f "$xlog"' EXIT
display=
for _ in 1 2 3; do
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>"$xlog" &
    xpid=$!
    read -r display <"$fifo" || display=
    rm -f "$fifo"
    [ -n "$display" ] && break
    wait $xpid 2>/dev/null || true
    xpid=
done
if [ -z "$display" ]; then
    echo "with-xvfb: the X server did not start:" >&2
    cat "$xlog" >&2
    exit 1
fi
# Mesa's software renderer: the same pictures on every machine.
DISPLAY=":$display" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 "$@"
