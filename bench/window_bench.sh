#!/usr/bin/env bash
# Window benchmarks: start-up to a mapped window against the smallest Qt
# program (under Xvfb), the catalog step for 10,000 lines, and the peak
# resident set after showing a 4000 x 3000 photo against a bare Qt window.
# Prints figures and ratios; never fails on a figure.
#   window_bench.sh QUINDELAR MINIMAL_QT WINDOW_BENCH
set -euo pipefail
LOG_TAG=window-bench
. "$(dirname "$0")/../scripts/lib.sh"

if [ -z "${TARVENIA_BENCH_IN_X:-}" ]; then
    make_test_dir bench-window
    export XDG_RUNTIME_DIR="$T/runtime" XDG_DATA_HOME="$T/data" TARVENIA_BENCH_DIR="$T"
    export QT_QPA_PLATFORM=xcb
    TARVENIA_BENCH_IN_X=1 in_xvfb 600 bash "$0" "$@"
    exit $?
fi

APP=$(readlink -f "$1")
MINIMAL=$(readlink -f "$2")
BENCH=$(readlink -f "$3")
T=$TARVENIA_BENCH_DIR
RUNS=15

# A desktop session has a message bus. Without one, every Qt program spawns
# dbus-launch at its first accessibility event and waits for it: a cost no
# user pays, which lands before or after the window is mapped depending only
# on when a program first touches a control.
eval "$(dbus-launch --sh-syntax 2>/dev/null)"
trap 'kill "${DBUS_SESSION_BUS_PID:-}" 2>/dev/null || true' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/map_time.sh"

app_times=()
ref_times=()
button_times=()
for _ in $(seq "$RUNS"); do
    ref_times+=("$(time_to_map bench-minimal-qt "$MINIMAL")")
    button_times+=("$(time_to_map bench-minimal-qt "$MINIMAL" --button)")
    app_times+=("$(time_to_map "$TARVENIA_TITLE" "$APP")")
done
# What the dynamic loader does for each program until its window is mapped:
# the objects it loads (libraries and plugins, up to the map) and the symbol
# relocations of the libraries loaded at start.
loader_figures() { # title program: "objects relocations"
    local out=$T/ld-$RANDOM
    time_to_map "$1" env LD_DEBUG=files,statistics LD_DEBUG_OUTPUT="$out" "$2" >/dev/null
    cat "$out".* | awk '/generating link map/ { objects++ }
        /number of relocations:/ && !relocations { relocations = $NF }
        END { print objects + 0, relocations + 0 }'
    rm -f "$out".*
}
read -r ref_objects ref_relocations < <(loader_figures bench-minimal-qt "$MINIMAL")
read -r app_objects app_relocations < <(loader_figures "$TARVENIA_TITLE" "$APP")
kill "$XEV_PID" 2>/dev/null || true
ref=$(echo "${ref_times[*]}" | median)
button=$(echo "${button_times[*]}" | median)
app=$(echo "${app_times[*]}" | median)
echo "start-up to mapped window (median of $RUNS, Xvfb):"
echo "  minimal Qt window             ${ref} ms   (${ref_times[*]})"
echo "  minimal window with a button  ${button} ms   (${button_times[*]})"
echo "  quindelar                     ${app} ms   (${app_times[*]})"
awk -v a="$app" -v r="$ref" -v b="$button" 'BEGIN { if (r > 0 && b > 0) printf "  ratio %.2f x the minimal window (target <= 1.3 x), %.2f x the one with a button\n", a / r, a / b }'
echo "  objects loaded until mapped     quindelar ${app_objects}, minimal ${ref_objects}; relocations at start ${app_relocations}, minimal ${ref_relocations}"

echo
QT_QPA_PLATFORM=offscreen "$BENCH" catalog | sed 's/^/  /' | sed '1s/^  //'
echo "  (target <= 50 ms)"

echo
"$BENCH" make-jpeg "$T/big.jpg" 4000 3000
bare=$(QT_QPA_PLATFORM=offscreen "$MINIMAL" --rss | awk '{ print $2 }')
photo=$(QT_QPA_PLATFORM=offscreen "$BENCH" rss-photo "$T/big.jpg" | awk '{ print $2 }')
echo "peak resident set (offscreen):"
echo "  bare Qt window                       $((bare / 1024)) MiB"
echo "  quindelar showing a 4000x3000 photo  $((photo / 1024)) MiB"
echo "  difference                           $(((photo - bare) / 1024)) MiB (target <= 80 MiB)"
