#!/usr/bin/env bash
# End-to-end: the real program under Xvfb against the demo photo service,
# reached through http_proxy. Connect, see the photo, choose another entry,
# add it to the favourites, confirm it, close.
#   e2e_test.sh QUINDELAR DEMO_SERVICE
#       a copy of the program in a folder of the test: the favourites file
#       must appear beside that copy;
#   e2e_test.sh --installed QUINDELAR DEMO_SERVICE
#       the program where it is installed (/usr/bin/quindelar from the
#       package): the favourites file must appear in $XDG_DATA_HOME/tarvenia/
#       and nothing may change in the program's folder.
set -euo pipefail

INSTALLED=${TARVENIA_E2E_INSTALLED:-0}
if [ "${1:-}" = "--installed" ]; then
    INSTALLED=1
    shift
fi

LOG_TAG=e2e
. "$(dirname "$0")/../../scripts/lib.sh"
STEP_TIMEOUT=30
load_layout

if [ -z "${TARVENIA_E2E_DIR:-}" ]; then
    APP=$(readlink -f "$1")
    SERVICE=$(readlink -f "$2")
    make_test_dir e2e
    # Unless the installed program is tried, a copy of it, so that its
    # favourites file lies in our folder.
    if [ "$INSTALLED" = 0 ]; then cp "$APP" "$T/bin/quindelar"; fi
    start_demo_service "$SERVICE" "$T/service.out" --date 20240315 --log "$T/service.log"
    with_session_env \
        TARVENIA_E2E_DIR="$T" TARVENIA_E2E_INSTALLED="$INSTALLED" TARVENIA_E2E_APP="$APP" \
        bash -c '. "$1"; in_xvfb 240 bash "$2"' _ "$TARVENIA_ROOT/scripts/lib.sh" "$0" || exit $?
    exit 0
fi

# --- inside Xvfb --------------------------------------------------------------
T=$TARVENIA_E2E_DIR
WORK="$T/data/tarvenia"
FAV="$T/bin/qndelarf.qdl"
PROGRAM="$T/bin/quindelar"
if [ "$TARVENIA_E2E_INSTALLED" = 1 ]; then
    FAV="$WORK/qndelarf.qdl"
    PROGRAM=$TARVENIA_E2E_APP
    APP_DIR=$(dirname "$PROGRAM")
    listing() { ls -la --time-style=+%s.%N "$APP_DIR"; }
    BEFORE=$(listing)
fi

read -r IMAGE_LEFT IMAGE_TOP IMAGE_WIDTH IMAGE_HEIGHT <<<"$LAYOUT_Image1"
preview() { # a signature of the preview's pixels
    import -window root -crop "${IMAGE_WIDTH}x${IMAGE_HEIGHT}+$((WX + IMAGE_LEFT))+$((WY + IMAGE_TOP))" \
        +repage -format '%#' info:- 2>/dev/null
}
preview_is_not() { [ "$(preview)" != "$1" ]; }
photo_hash() { md5sum <"$WORK/qndelar.jpg" 2>/dev/null | cut -d' ' -f1; }
photo_is_not() { [ -s "$WORK/qndelar.jpg" ] && [ "$(photo_hash)" != "$1" ]; }

# Points inside the controls, from the window's layout.
BCNF="Bcnf 9 12" BFAV="Bfav 9 12" PREVIEW="Image1 76 60"

"$PROGRAM" >"$T/quindelar.out" 2>&1 &
APP_PID=$!
find_window "$STEP_TIMEOUT" || fail "no window"
log "window at ($WX,$WY) ${WIDTH}x${HEIGHT}"
[ "$WX,$WY,$WIDTH,$HEIGHT" = "749,418,251,180" ] || fail "window placed at $WX,$WY ${WIDTH}x${HEIGHT}"
wait_for 5 shown Bcon || fail "\"Conectar\" not shown"

# A window-less run while the window is open does nothing and says so; the
# window's flow below goes on unharmed.
RC=0
env -u DISPLAY -u WAYLAND_DISPLAY "$PROGRAM" --today >"$T/today.out" 2>&1 || RC=$?
[ "$RC" = 3 ] && grep -q "the window is open" "$T/today.out" ||
    fail "--today beside the window: status $RC: $(cat "$T/today.out")"
hidden $BCNF || fail "\"Confirmar\" shown before connecting"
hidden $PREVIEW || fail "preview not empty before connecting"

log "connect"
click Bcon
wait_for "$STEP_TIMEOUT" shown $PREVIEW || fail "no photo shown"
wait_for "$STEP_TIMEOUT" shown $BCNF || fail "\"Confirmar\" not shown"
hidden Bcon || fail "\"Conectar\" still shown"
hidden $BFAV || fail "\"Favoritas\" shown without a favourites file"
[ -s "$WORK/qndelar.qdl" ] || fail "no catalog copy"
FIRST_PREVIEW=$(preview)
FIRST_PHOTO=$(photo_hash)

# The entry the keyboard picks: the second listed line (keys up to the daily one).
EXPECTED=$(awk 'BEGIN { RS = "\r\n" } substr($0, 1, 8) <= "20240315" && length($0) > 0 { n++; if (n == 2) { print substr($0, 1, 50); exit } }' "$WORK/qndelar.qdl")
EXPECTED_KEY=${EXPECTED:0:8}
log "choose the second entry ($EXPECTED_KEY)"
click Combo 204 10
sleep 0.5
xdotool key Down
sleep 0.2
xdotool key Return
wait_for "$STEP_TIMEOUT" photo_is_not "$FIRST_PHOTO" || fail "the chosen photo was not downloaded"
wait_for "$STEP_TIMEOUT" preview_is_not "$FIRST_PREVIEW" || fail "the preview did not change"
wait_for "$STEP_TIMEOUT" shown $BCNF || fail "\"Confirmar\" not shown again"

log "add to the favourites"
click Badd
wait_for "$STEP_TIMEOUT" test -s "$FAV" || fail "no favourites file at $FAV"
printf '%s\r\n' "$EXPECTED" | cmp -s - "$FAV" ||
    fail "favourites file holds $(od -c "$FAV" | head -3), expected $EXPECTED"
wait_for 5 shown $BFAV || fail "\"Favoritas\" not shown after the add"

log "confirm"
click $BCNF
wait_for "$STEP_TIMEOUT" test -s "$WORK/qndelar.bmp" || fail "no wallpaper bitmap"
[ "$(head -c 2 "$WORK/qndelar.bmp")" = "BM" ] || fail "the wallpaper bitmap is no BMP"
wait_for "$STEP_TIMEOUT" grep -q "confirmation $EXPECTED_KEY" "$T/service.log" ||
    fail "the service recorded no confirmation of $EXPECTED_KEY: $(cat "$T/service.log" 2>/dev/null)"

KEYFILE="$T/config/glib-2.0/settings/keyfile"
wait_for 10 grep -q "qndelar.bmp" "$KEYFILE" || fail "the wallpaper setting does not name the bitmap"

log "close"
START=$(date +%s%N)
click Bsal
wait_for 10 not running "$APP_PID" || fail "the program did not end"
ELAPSED_MS=$((($(date +%s%N) - START) / 1000000))
log "ended ${ELAPSED_MS} ms after the click"
((ELAPSED_MS < 3000)) || fail "the program took ${ELAPSED_MS} ms to end"
[ ! -e "$WORK/qndelar.jpg" ] || fail "photo file left behind"
[ ! -e "$WORK/qndelar.qdl" ] || fail "catalog copy left behind"
[ -s "$WORK/qndelar.bmp" ] || fail "wallpaper bitmap removed"
[ -s "$FAV" ] || fail "favourites file removed"
if [ "$TARVENIA_E2E_INSTALLED" = 1 ]; then
    [ ! -e "$APP_DIR/qndelarf.qdl" ] || fail "a favourites file appeared in $APP_DIR"
    [ "$(listing)" = "$BEFORE" ] || fail "$APP_DIR changed: $(diff <(echo "$BEFORE") <(listing))"
else
    [ ! -e "$WORK/qndelarf.qdl" ] || fail "a copy outside the prefix wrote its favourites to $WORK"
fi
log "passed"
