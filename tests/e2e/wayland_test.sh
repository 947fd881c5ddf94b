#!/usr/bin/env bash
# The program as a native Wayland client of a headless Weston: it creates its
# toplevel with the window's title and the application id (read from the
# protocol log), prints no warning, stays up, and ends cleanly (exit status 0,
# toplevel destroyed) when asked to close.
#   wayland_test.sh QUINDELAR APP_ID
# Skipped (77) when weston or Qt's Wayland plugin is missing.
set -euo pipefail

APP=$(readlink -f "$1")
ID=$2
LOG_TAG=wayland
. "$(dirname "$0")/../../scripts/lib.sh"
TITLE=$TARVENIA_TITLE

# lib.sh's fail, with what the program printed.
fail() {
    printf 'wayland: FAILED: %s\n' "$*" >&2
    [ -f "${T:-}/quindelar.err" ] && grep -v '^\[' "$T/quindelar.err" | head -20 >&2
    exit 1
}

command -v weston >/dev/null || {
    log "skipped: no weston"
    exit 77
}
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 || {
    log "skipped: no Qt Wayland platform plugin (qt6-wayland)"
    exit 77
}

make_test_dir wayland
WESTON_PID=""
APP_PID=""
at_exit 'for pid in $APP_PID $WESTON_PID; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done'
export XDG_RUNTIME_DIR="$T/runtime"
SOCKET=tarvenia-test

weston --backend=headless-backend.so --socket="$SOCKET" --width=1280 --height=800 \
    --idle-time=0 >"$T/weston.log" 2>&1 &
WESTON_PID=$!
wait_for 10 test -S "$XDG_RUNTIME_DIR/$SOCKET" || fail "weston did not start: $(cat "$T/weston.log")"

env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u QT_SCALE_FACTOR \
    WAYLAND_DISPLAY="$SOCKET" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 \
    XDG_DATA_HOME="$T/data" HOME="$T/home" \
    "$APP" >"$T/quindelar.out" 2>"$T/quindelar.err" &
APP_PID=$!

toplevel_line() { grep -E "xdg_toplevel@[0-9]+\.$1\(" "$T/quindelar.err" | head -n1; }
wait_for 20 grep -q 'xdg_toplevel@[0-9]*\.set_app_id(' "$T/quindelar.err" || fail "no toplevel"
wait_for 20 grep -q 'xdg_toplevel@[0-9]*\.set_title(' "$T/quindelar.err" || fail "no title"
# The compositor's first configure is answered and a buffer committed: the
# window is on screen.
wait_for 20 grep -q 'xdg_surface@[0-9]*\.ack_configure(' "$T/quindelar.err" ||
    fail "the toplevel was never configured"
log "$(toplevel_line set_title)"
log "$(toplevel_line set_app_id)"
[[ "$(toplevel_line set_title)" == *"set_title(\"$TITLE\")" ]] || fail "wrong title"
[[ "$(toplevel_line set_app_id)" == *"set_app_id(\"$ID\")" ]] || fail "wrong app id"

sleep 2
running "$APP_PID" || fail "the program ended by itself"
# Anything but protocol lines is a message of the program or of Qt.
if grep -v '^\[' "$T/quindelar.err" | grep -q .; then
    fail "messages on stderr: $(grep -v '^\[' "$T/quindelar.err" | head -5)"
fi

log "close"
kill -TERM "$APP_PID"
status=0
wait_for 10 not running "$APP_PID" || fail "the program did not end"
wait "$APP_PID" || status=$?
APP_PID=""
[ "$status" = 0 ] || fail "exit status $status"
grep -q 'xdg_toplevel@[0-9]*\.destroy()' "$T/quindelar.err" || fail "the toplevel was not destroyed"
log "passed"
