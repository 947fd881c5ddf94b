#!/usr/bin/env bash
# End-to-end with the keyboard alone: the real program under Xvfb against the
# demo photo service, driven by key presses (xdotool) only. Connect (Return),
# move to the combo box (Tab) and choose the next photo (Down), add it to the
# favourites (Ctrl+D), list the favourites (Alt+F) and remove it again
# (Ctrl+D), confirm (Alt+O) and quit (Ctrl+Q).
#   keyboard_test.sh QUINDELAR DEMO_SERVICE
set -euo pipefail

LOG_TAG=keyboard
. "$(dirname "$0")/../../scripts/lib.sh"
STEP_TIMEOUT=30
load_layout

if [ -z "${TARVENIA_KEYS_DIR:-}" ]; then
    prepare_window_test keyboard "$1" "$2"
    rerun_in_xvfb TARVENIA_KEYS_DIR || exit $?
    exit 0
fi

# --- inside Xvfb --------------------------------------------------------------
T=$TARVENIA_KEYS_DIR
WORK="$T/data/tarvenia"
FAV="$T/bin/qndelarf.qdl"
photo_hash() { md5sum <"$WORK/qndelar.jpg" 2>/dev/null | cut -d' ' -f1; }
photo_is_not() { [ -s "$WORK/qndelar.jpg" ] && [ "$(photo_hash)" != "$1" ]; }
BCON=(Bcon)
BCNF=(Bcnf 9 12)
PREVIEW=(Image1 76 60)
key() {
    log "key $*"
    xdotool key "$@"
}
# Confirmar hides while a photo comes and shows again once it is shown.
photo_shown_again() {
    wait_for 5 hidden "${BCNF[@]}" || true
    wait_for "$STEP_TIMEOUT" shown "${BCNF[@]}" || fail "no photo shown after $1"
}

"$T/bin/quindelar" >"$T/quindelar.out" 2>&1 &
APP_PID=$!
find_window "$STEP_TIMEOUT" || fail "no window"
# No window manager: the keyboard focus is given to the window, as a
# desktop does when the window is mapped.
xdotool windowfocus --sync "$WID"
wait_for 5 shown "${BCON[@]}" || fail "\"Conectar\" not shown"
hidden "${PREVIEW[@]}" || fail "preview not empty before connecting"

key Return
wait_for "$STEP_TIMEOUT" shown "${PREVIEW[@]}" || fail "Return did not connect"
wait_for "$STEP_TIMEOUT" shown "${BCNF[@]}" || fail "\"Confirmar\" not shown"
hidden "${BCON[@]}" || fail "\"Conectar\" still shown"
FIRST_PHOTO=$(photo_hash)

# The first and second listed entries (keys up to the daily one).
listed() {
    awk -v want="$1" 'BEGIN { RS = "\r\n" } substr($0, 1, 8) <= "20240315" && length($0) > 0 { n++; if (n == want) { print substr($0, 1, 50); exit } }' "$WORK/qndelar.qdl"
}
FIRST=$(listed 1)
SECOND=$(listed 2)
key Tab
key Down
wait_for "$STEP_TIMEOUT" photo_is_not "$FIRST_PHOTO" || fail "Down chose no other photo"
photo_shown_again Down

key ctrl+d
wait_for "$STEP_TIMEOUT" test -s "$FAV" || fail "Ctrl+D wrote no favourites file"
printf '%s\r\n' "$SECOND" | cmp -s - "$FAV" || fail "favourites file holds $(od -c "$FAV" | head -3)"

# The favourites view lists the one favourite; Ctrl+D there removes it, and
# with it the file; the whole catalog is listed again from its first entry.
key alt+f
photo_shown_again Alt+F
key ctrl+d
wait_for "$STEP_TIMEOUT" test ! -e "$FAV" || fail "Ctrl+D in the favourites view kept $FAV"
photo_shown_again "the removal"

key alt+o
wait_for "$STEP_TIMEOUT" test -s "$WORK/qndelar.bmp" || fail "Alt+O wrote no wallpaper bitmap"
wait_for "$STEP_TIMEOUT" grep -q "confirmation ${FIRST:0:8}" "$T/service.log" ||
    fail "the service recorded no confirmation of ${FIRST:0:8}"

key ctrl+q
wait_for 10 bash -c "! kill -0 $APP_PID 2>/dev/null" || fail "Ctrl+Q did not end the program"
[ ! -e "$WORK/qndelar.jpg" ] || fail "photo file left behind"
[ ! -e "$WORK/qndelar.qdl" ] || fail "catalog copy left behind"
log "passed"
