#!/usr/bin/env bash
# The window-less run, "quindelar --today", with no display at all (neither
# DISPLAY nor WAYLAND_DISPLAY; the Qt platform is xcb, which would abort on
# a display it needs), against the demo photo service in a private session
# (GSettings in a keyfile, a GNOME desktop). One row per outcome, in order,
# in one work folder; then two runs at once, and the options.
#   today_test.sh QUINDELAR DEMO_SERVICE
set -euo pipefail

LOG_TAG=today
. "$(dirname "$0")/../../scripts/lib.sh"

APP=$(readlink -f "$1")
SERVICE=$(readlink -f "$2")
make_test_dir today
DATE=20240315
start_demo_service "$SERVICE" "$T/service.out" --date $DATE --log "$T/service.log" \
    --access-log "$T/access.log"
MAIN_PORT=$PORT
mkdir -p "$T/state"
WORK="$T/data/tarvenia"
KEYFILE="$T/config/glib-2.0/settings/keyfile"
LAST="$T/state/tarvenia/qndelar.last"

# start_with_fault FAULT: a service with that fault on a port of its own,
# FAULT_PORT; stopped at the end. (Started here, not in a subshell, so that
# the script knows the process it has to stop.)
start_with_fault() {
    "$SERVICE" --port 0 --date $DATE --fault "$1" >"$T/fault-$1.out" 2>&1 &
    at_exit "kill $! 2>/dev/null"
    wait_for 30 grep -qs '^listening on' "$T/fault-$1.out" || fail "no service with $1"
    FAULT_PORT=$(sed -n 's|^listening on http://127.0.0.1:\([0-9]*\).*|\1|p' "$T/fault-$1.out")
}
# A port where nothing listens: one the system gave and took back.
DOWN_PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# today PORT DESKTOP [ARG...]: the program without a display, through the
# service on PORT; its status in RC, its output in $T/out and $T/err.
today() {
    local port=$1 desktop=$2
    shift 2
    RC=0
    PORT=$port with_session_env env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME="$T/state" \
        XDG_CURRENT_DESKTOP="$desktop" timeout 120 "$APP" "$@" >"$T/out" 2>"$T/err" || RC=$?
}
sum() { if [ -e "$1" ]; then md5sum <"$1" | cut -d' ' -f1; fi; }
count() { grep -c "$1" "$2" 2>/dev/null || true; }

# What the first run must set: the first listed entry up to the service's
# day, its photo as djpeg decodes it.
proxy=(curl -s --noproxy '' -x "http://127.0.0.1:$MAIN_PORT")
"${proxy[@]}" -o "$T/catalog" http://imagenes.tarvenia.example/quindelar/esp/quindelar2.qdl
FIRST=$(awk -v d=$DATE 'BEGIN { RS = "\r\n" } substr($0, 1, 8) <= d && length($0) > 0 { print; exit }' "$T/catalog")
KEY=${FIRST:0:8}
EXPECTED_LINE="${FIRST:9} ($KEY)"
"${proxy[@]}" -o "$T/photo.jpg" "http://fotos1.tarvenia.example/fotos/$KEY.jpg"
djpeg -bmp -outfile "$T/expected.bmp" "$T/photo.jpg"
: >"$T/access.log"

# name | service: ok, down or a fault | desktop | state file: fresh (removed)
# or kept | status | standard error (a grep -E pattern; "-": empty)
ROWS=(
    "first run|ok|GNOME|fresh|0|-"
    "second run the same day|ok|GNOME|kept|0|-"
    "service down|down|GNOME|fresh|1|^quindelar: no photo is listed \(last status: 0 bytes recibidos\)$"
    "an error page instead of the photo|missing-photo|GNOME|fresh|1|^quindelar: the photo received is no picture: JPEG error #[0-9]+ "
    "a photo that does not decode|broken-photo|GNOME|fresh|1|^quindelar: JPEG error #[0-9]+\.$"
    "a catalog that lists nothing|empty-catalog|GNOME|fresh|1|^quindelar: no photo is listed "
    "a desktop that refuses the wallpaper|ok|none|fresh|1|^quindelar: the desktop did not take $WORK/qndelar.bmp as its wallpaper$"
)
for row in "${ROWS[@]}"; do
    IFS='|' read -r name service desktop state status err <<<"$row"
    case $service in
    ok) port=$MAIN_PORT ;;
    down) port=$DOWN_PORT ;;
    *)
        start_with_fault "$service"
        port=$FAULT_PORT
        ;;
    esac
    [ "$state" = kept ] || rm -f "$LAST"
    key_before=$(sum "$KEYFILE")
    bmp_before=$(sum "$WORK/qndelar.bmp")
    last_before=$(cat "$LAST" 2>/dev/null || true)
    confirmations=$(count "confirmation $KEY" "$T/service.log")
    downloads=$(count "/$KEY.jpg" "$T/access.log")

    today "$port" "$desktop" --today
    [ "$RC" = "$status" ] || fail "$name: status $RC: $(cat "$T/err")"
    if [ "$err" = - ]; then
        [ ! -s "$T/err" ] || fail "$name: standard error: $(cat "$T/err")"
    else
        [ "$(wc -l <"$T/err")" = 1 ] && grep -qE "$err" "$T/err" || fail "$name: standard error: $(cat "$T/err")"
    fi
    [ ! -e "$WORK/qndelar.jpg" ] && [ ! -e "$WORK/qndelar.qdl" ] || fail "$name: work files left: $(ls "$WORK")"
    new_confirmations=$(($(count "confirmation $KEY" "$T/service.log") - confirmations))
    new_downloads=$(($(count "/$KEY.jpg" "$T/access.log") - downloads))
    if [ "$status" = 0 ]; then
        printf '%s\n' "$EXPECTED_LINE" | cmp -s - "$T/out" || fail "$name: printed $(od -c "$T/out" | head -3)"
        grep -qx "picture-uri='file://$WORK/qndelar.bmp'" "$KEYFILE" || fail "$name: the wallpaper key: $(cat "$KEYFILE")"
        cmp -s <(tail -c +55 "$WORK/qndelar.bmp") <(tail -c +55 "$T/expected.bmp") ||
            fail "$name: the bitmap differs from djpeg -bmp of the photo"
        [ "$(cat "$LAST")" = "$KEY" ] || fail "$name: the state file holds $(cat "$LAST")"
        expected=1
        [ "$state" = fresh ] || expected=0 # the photo was already set
        [ "$new_confirmations" = $expected ] && [ "$new_downloads" = $expected ] ||
            fail "$name: $new_confirmations confirmations, $new_downloads downloads of the photo (expected $expected)"
    else
        [ ! -s "$T/out" ] || fail "$name: printed $(cat "$T/out")"
        [ "$(sum "$KEYFILE")" = "$key_before" ] || fail "$name: the wallpaper key changed"
        # The photo that decodes is the one already set: its bitmap has the
        # same bytes.
        [ "$(sum "$WORK/qndelar.bmp")" = "$bmp_before" ] || fail "$name: the bitmap changed"
        [ "$(cat "$LAST" 2>/dev/null || true)" = "$last_before" ] || fail "$name: the state file changed"
    fi
    log "$name: status $RC $(head -c 100 "$T/err")"
done

# A timer run and a log-in run at once: the second waits for the first and
# finds the photo set.
rm -f "$LAST"
confirmations=$(count "confirmation $KEY" "$T/service.log")
RC=0
(PORT=$MAIN_PORT with_session_env env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME="$T/state" \
    timeout 120 "$APP" --today >"$T/out2" 2>&1) &
today "$MAIN_PORT" GNOME --today
wait $! || fail "two runs: the other one failed: $(cat "$T/out2")"
[ "$RC" = 0 ] || fail "two runs: status $RC: $(cat "$T/err")"
[ "$(cat "$T/out")" = "$EXPECTED_LINE" ] && [ "$(cat "$T/out2")" = "$EXPECTED_LINE" ] ||
    fail "two runs printed $(cat "$T/out") / $(cat "$T/out2")"
[ "$(($(count "confirmation $KEY" "$T/service.log") - confirmations))" = 1 ] ||
    fail "two runs: not one confirmation: $(cat "$T/service.log")"
log "two runs at once: both 0, one confirmation"

# The options, also without a display; Qt's own options still pass.
# arguments | status | pattern of the output (standard output for 0,
# standard error otherwise)
OPTIONS=(
    "--help|0|--today"
    "-h|0|^Usage: quindelar "
    "--version|0|^quindelar [0-9]+\.[0-9]+$"
    "-platform offscreen --version|0|^quindelar "
    "--bogus|2|^quindelar: unknown option '--bogus'$"
    "--today extra|2|^Usage: quindelar "
)
for row in "${OPTIONS[@]}"; do
    IFS='|' read -r args status pattern <<<"$row"
    read -r -a argv <<<"$args"
    today "$MAIN_PORT" GNOME "${argv[@]}"
    [ "$RC" = "$status" ] || fail "$args: status $RC"
    out="$T/out"
    [ "$status" = 0 ] || out="$T/err"
    grep -qE -- "$pattern" "$out" || fail "$args: $(cat "$out")"
done
log "options: ${#OPTIONS[@]} rows"
log "passed"
