#!/bin/sh
# Times ncrun --xnc against LinuxCNC's reference interpreter (rs274) on the
# three generated programs (raster, arcs, spiral), side by side on this
# machine, and prints lines per second (program lines over processor time,
# user plus system, so that other work on the machine counts less), their
# ratio and peak memory.
#   bench/compare_rs274.sh [BUILD_DIR] [RUNS]
# BUILD_DIR defaults to ./build (make_bench_programs and ncrun/ncrun are
# taken from it); RUNS (default 3) runs of each, the fastest counts.
# Installs nothing.
set -eu

build=${1:-build}
runs=${2:-3}
ncrun=$build/ncrun/ncrun
make=$build/bench/make_bench_programs
for tool in "$ncrun" "$make"; do
    if [ ! -x "$tool" ]; then
        echo "compare_rs274: $tool not built (cmake --build $build --target ncrun make_bench_programs)" >&2
        exit 2
    fi
done
if [ ! -x /usr/bin/time ]; then
    echo "compare_rs274: /usr/bin/time is missing; install it with: apt-get install time" >&2
    exit 2
fi
reference=$(command -v rs274 || true)
if [ -z "$reference" ]; then
    echo "compare_rs274: the reference interpreter rs274 is not installed." >&2
    echo "  It comes with Debian's linuxcnc-uspace: apt-get install linuxcnc-uspace" >&2
    echo "  Timing ncrun alone." >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make" "$work"
# Tool 1, 6 mm across; the stand-alone rs274 reads the table in inches.
printf 'T1 P1 D0.236220 Z0.000 ;6 mm cutter\n' > "$work/bench.tbl"
: > "$work/bench.var"

# best_run COMMAND...: "cpu-seconds peak-KB" of the fastest of $runs runs;
# fails when a run fails.
best_run() {
    best=""
    i=0
    while [ $i -lt "$runs" ]; do
        if ! /usr/bin/time -f '%U %S %M' -o "$work/time" "$@" > /dev/null 2> "$work/stderr"; then
            echo "compare_rs274: failed: $*" >&2
            cat "$work/stderr" >&2
            return 1
        fi
        this=$(tail -n 1 "$work/time" | awk '{ printf "%.2f %s", $1 + $2, $3 }')
        if [ -z "$best" ] || awk -v a="${this%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
            best=$this
        fi
        i=$((i + 1))
    done
    echo "$best"
}

printf '%-7s %8s  %12s %8s  %12s %8s  %6s\n' shape lines "ncrun l/s" "ncrun KB" "rs274 l/s" "rs274 KB" ratio
status=0
for shape in raster arcs spiral; do
    program=$work/$shape.fnc
    lines=$(wc -l < "$program")
    ours=$(best_run "$ncrun" --xnc "$work/$shape.xnc" "$program") || { status=1; continue; }
    ourRate=$(awk -v n="$lines" -v t="${ours%% *}" 'BEGIN { printf "%.0f", n / (t > 0 ? t : 0.005) }')
    if [ -n "$reference" ]; then
        theirs=$(best_run "$reference" -g -t "$work/bench.tbl" -v "$work/bench.var" "$program" /dev/null) \
            || { status=1; continue; }
        theirRate=$(awk -v n="$lines" -v t="${theirs%% *}" 'BEGIN { printf "%.0f", n / (t > 0 ? t : 0.005) }')
        ratio=$(awk -v a="$ourRate" -v b="$theirRate" 'BEGIN { printf "%.2f", a / b }')
        printf '%-7s %8s  %12s %8s  %12s %8s  %6s\n' "$shape" "$lines" "$ourRate" "${ours##* }" \
            "$theirRate" "${theirs##* }" "$ratio"
    else
        printf '%-7s %8s  %12s %8s  %12s %8s  %6s\n' "$shape" "$lines" "$ourRate" "${ours##* }" - - -
    fi
done
exit $status
