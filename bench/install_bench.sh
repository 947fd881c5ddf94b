#!/usr/bin/env bash
# The cost of installing: sizes of the Debian packages, and start-up to a
# mapped window of the installed program against programs run from build
# trees, measured in turns in the same run (under Xvfb, median of 15).
# Prints figures and ratios; never fails on a figure.
#   install_bench.sh DEB_DIR INSTALLED_PROGRAM BUILD_TREE_PROGRAM...
set -euo pipefail
LOG_TAG=install-bench
. "$(dirname "$0")/../scripts/lib.sh"

if [ -z "${TARVENIA_BENCH_IN_X:-}" ]; then
    DEBS=$(readlink -f "$1")
    shift
    echo "packages:"
    for deb in "$DEBS"/*.deb; do
        printf '  %-44s %8d bytes, installed size %6d KiB\n' "$(basename "$deb")" \
            "$(stat -c %s "$deb")" "$(dpkg-deb -f "$deb" Installed-Size)"
    done
    echo "  (installed size as dpkg counts it: whole KiB per file)"
    make_test_dir bench-install
    export XDG_RUNTIME_DIR="$T/runtime" XDG_DATA_HOME="$T/data" HOME="$T/home"
    export QT_QPA_PLATFORM=xcb
    echo
    TARVENIA_BENCH_IN_X=1 in_xvfb 600 bash "$0" "$@"
    exit $?
fi

RUNS=15
INSTALLED=$1
shift
# A session bus, as in a desktop session (see window_bench.sh).
eval "$(dbus-launch --sh-syntax 2>/dev/null)"
trap 'kill "${DBUS_SESSION_BUS_PID:-}" 2>/dev/null || true' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/map_time.sh"

programs=("$INSTALLED" "$@")
declare -A times
for _ in $(seq "$RUNS"); do
    for p in "${programs[@]}"; do
        times[$p]+=" $(time_to_map "Imágenes de Tarvenia" "$p")"
    done
done
kill "$XEV_PID" 2>/dev/null || true
ref=$(echo ${times[$INSTALLED]} | median)
echo "start-up to mapped window (median of $RUNS, Xvfb, in turns):"
printf '  %-56s %4s ms\n' "installed $INSTALLED" "$ref"
for p in "$@"; do
    m=$(echo ${times[$p]} | median)
    printf '  %-56s %4s ms   ratio installed / this %s\n' "build tree $p" "$m" \
        "$(awk -v a="$ref" -v b="$m" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
done
