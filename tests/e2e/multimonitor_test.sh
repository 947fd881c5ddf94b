#!/usr/bin/env bash
# The window on the primary monitor when another monitor lies left of it and
# reaches higher: two RandR monitors on one Xvfb screen of 3840 × 1800, the
# primary (1920 × 1200) at (1920, 600). The window must stand near the lower
# right corner of the primary, in its coordinates: (1920 + 1920 − 275,
# 600 + 1200 − 350) = (3565, 1450).
#   multimonitor_test.sh QUINDELAR
set -euo pipefail
command -v xrandr >/dev/null || exit 77
LOG_TAG=multimonitor
. "$(dirname "$0")/../../scripts/lib.sh"

APP=$(readlink -f "$1")
make_test_dir multimonitor
XVFB_PID="" APP_PID=""
at_exit 'for p in $APP_PID $XVFB_PID; do kill "$p" 2>/dev/null; done'

# Without -noreset the server resets, forgetting the monitors, when xrandr
# (its only client) leaves. The primary takes the screen's one output, so no
# third monitor is made for it.
Xvfb -displayfd 3 -screen 0 3840x1800x24 -noreset -nolisten tcp 3>"$T/display" 2>"$T/xvfb.log" &
XVFB_PID=$!
wait_for 10 test -s "$T/display" || fail "Xvfb did not start: $(cat "$T/xvfb.log")"
export DISPLAY=":$(cat "$T/display")"
xrandr --setmonitor LEFT 1920/508x1200/318+0+0 none >/dev/null
xrandr --setmonitor "*PRIMARY" 1920/508x1200/318+1920+600 screen >/dev/null
log "$(xrandr --listmonitors | tr '\n' ' ')"

env -u WAYLAND_DISPLAY XDG_DATA_HOME="$T/data" XDG_RUNTIME_DIR="$T/runtime" HOME="$T/home" \
    QT_QPA_PLATFORM=xcb "$APP" >"$T/quindelar.out" 2>&1 &
APP_PID=$!
find_window 30 || fail "no window: $(cat "$T/quindelar.out")"
log "window at ($WX,$WY)"
[ "$WX,$WY" = "3565,1450" ] || fail "window at ($WX,$WY), expected (3565,1450) on the primary monitor"
log "passed"
