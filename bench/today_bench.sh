#!/usr/bin/env bash
# The window-less run against the window, in turns in one run, both against
# the demo photo service on loopback in a private session (GSettings in a
# keyfile): milliseconds from the start of the program until the wallpaper
# setting names the bitmap. The window is driven as fast as a person could
# be: "Conectar" as soon as it is shown, "Confirmar" as soon as it is shown.
# Also a --today run that finds the photo already set. Prints medians and
# ratios; never fails on a figure.
#   today_bench.sh QUINDELAR DEMO_SERVICE
set -euo pipefail
LOG_TAG=today-bench
. "$(dirname "$0")/../scripts/lib.sh"
RUNS=${RUNS:-5}

if [ -z "${TARVENIA_BENCH_IN_X:-}" ]; then
    APP=$(readlink -f "$1")
    SERVICE=$(readlink -f "$2")
    make_test_dir today-bench
    start_demo_service "$SERVICE" "$T/service.out" --date 20240315
    # The service paints its photos in the background at first: one
    # untimed run fetches the one both programs will show.
    with_session_env env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME="$T/state" \
        "$APP" --today >/dev/null
    with_session_env TARVENIA_BENCH_IN_X=1 TARVENIA_BENCH_DIR="$T" APP="$APP" \
        bash -c '. "$1"; in_xvfb 600 bash "$2"' _ "$TARVENIA_ROOT/scripts/lib.sh" "$0" || exit $?
    exit 0
fi

T=$TARVENIA_BENCH_DIR
KEYFILE="$T/config/glib-2.0/settings/keyfile"
load_layout
now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
set_now() { grep -qs "qndelar.bmp" "$KEYFILE"; }
poll() { WAIT_STEP=0.01 wait_for 30 "$@"; }

window_run() {
    rm -f "$KEYFILE"
    local start pid
    start=$(now_ms)
    "$APP" >/dev/null 2>&1 &
    pid=$!
    find_window 30 || fail "no window"
    poll shown Bcon || fail "\"Conectar\" not shown"
    click Bcon
    poll shown Bcnf 9 12 || fail "\"Confirmar\" not shown"
    click Bcnf 9 12
    poll set_now || fail "the window did not set the wallpaper"
    echo $(($(now_ms) - start))
    click Bsal
    wait "$pid" 2>/dev/null || true
}

today_run() { # [keep]: the state file stays, the photo is already set
    [ "${1:-}" = keep ] || rm -f "$T/state/tarvenia/qndelar.last"
    rm -f "$KEYFILE"
    local start
    start=$(now_ms)
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME="$T/state" "$APP" --today >/dev/null ||
        fail "--today failed"
    [ "${1:-}" = keep ] || set_now || fail "--today did not set the wallpaper"
    echo $(($(now_ms) - start))
}

window=()
today=()
again=()
for _ in $(seq "$RUNS"); do
    window+=("$(window_run)")
    today+=("$(today_run)")
    again+=("$(today_run keep)")
done
w=$(echo "${window[*]}" | median)
t=$(echo "${today[*]}" | median)
a=$(echo "${again[*]}" | median)
echo "start to wallpaper set (median of $RUNS, demo service on loopback):"
echo "  window, \"Conectar\" and \"Confirmar\" clicked once shown  ${w} ms   (${window[*]})"
echo "  quindelar --today                                      ${t} ms   (${today[*]})"
echo "  quindelar --today, the photo already set               ${a} ms   (${again[*]})"
awk -v w="$w" -v t="$t" 'BEGIN { if (w > 0) printf "  ratio: --today takes %.2f x the window run\n", t / w }'
