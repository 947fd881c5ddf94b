#!/usr/bin/env bash
# What a screen reader and a dark desktop make of the real window, under Xvfb
# against the demo photo service:
#  - through the AT-SPI registry on a private session bus, every showing
#    object of the idle and of the browsing window has its role and name (the
#    buttons their captions, the glyph button its hint, the preview and the
#    combo box the photo's title, the combo box labelled "Fotos", the window
#    a frame with its title, the status bar its text);
#  - with a dark palette (qt6ct's "darker" scheme) the window looks exactly
#    as with none, and each text keeps a contrast of at least 4.5 : 1 with
#    its background, measured on a screenshot.
#   a11y_test.sh QUINDELAR DEMO_SERVICE
set -euo pipefail

LOG_TAG=a11y
. "$(dirname "$0")/../../scripts/lib.sh"
STEP_TIMEOUT=30
load_layout

if [ -z "${TARVENIA_A11Y_DIR:-}" ]; then
    for tool in /usr/libexec/at-spi-bus-launcher dbus-daemon; do
        command -v "$tool" >/dev/null || { log "skipped: no $tool (scripts/install-deps)"; exit 77; }
    done
    /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        { log "skipped: no AT-SPI for Python (scripts/install-deps)"; exit 77; }
    [ -f /usr/share/qt6ct/colors/darker.conf ] || { log "skipped: no qt6ct"; exit 77; }
    prepare_window_test a11y "$1" "$2"
    rerun_in_xvfb TARVENIA_A11Y_DIR || exit $?
    exit 0
fi

# --- inside Xvfb --------------------------------------------------------------
T=$TARVENIA_A11Y_DIR
WORK="$T/data/tarvenia"
HERE="$TARVENIA_ROOT/tests/e2e"
BCNF=(Bcnf 9 12)

# A private session bus with the accessibility bus and registry on it.
{
    read -r DBUS_SESSION_BUS_ADDRESS
    read -r BUS_PID
} < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
at_exit kill "$BUS_PID"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$T/at-spi.out" 2>&1 &
at_exit kill $!

window_shot() { # FILE: the window's client area
    import -window root -crop "$WIDTH"x"$HEIGHT+$WX+$WY" +repage -depth 8 "$1" 2>/dev/null
}
# settled_shot FILE: a screenshot once two in a row are the same, so that the
# window has drawn what its state shows.
settled_shot() {
    local next="${1%.ppm}-next.ppm"
    window_shot "$1"
    until window_shot "$next" && cmp -s "$1" "$next"; do mv "$next" "$1"; done
    rm -f "$next"
}
# run NAME [ENV...]: starts the program, connects with Return and keeps
# screenshots of the idle and browsing window (NAME-idle.ppm, NAME-photo.ppm).
run() {
    local name=$1
    shift
    env "$@" "$T/bin/quindelar" >"$T/$name.out" 2>&1 &
    APP_PID=$!
    at_exit kill "$APP_PID"
    find_window "$STEP_TIMEOUT" || fail "no window"
    xdotool windowfocus --sync "$WID"
    wait_for "$STEP_TIMEOUT" shown Bcon || fail "\"Conectar\" not shown"
    settled_shot "$T/$name-idle.ppm"
    [ "$name" = plain ] && tree idle
    xdotool key Return
    wait_for "$STEP_TIMEOUT" shown "${BCNF[@]}" || fail "no photo shown"
    settled_shot "$T/$name-photo.ppm"
    [ "$name" = plain ] && tree photo
    xdotool key ctrl+q
    wait_for 10 bash -c "! kill -0 $APP_PID 2>/dev/null" || fail "the program did not end"
}
tree() { # STATE: the AT-SPI tree must be the one expected
    local expected got
    expected=$(expected_tree "$1")
    got=$(/usr/bin/python3 "$HERE/a11y_tree.py" "$TARVENIA_TITLE" "$STEP_TIMEOUT") ||
        fail "no accessible frame: $got"
    [ "$got" = "$expected" ] ||
        fail "the $1 window reads as: $(printf '\n%s' "$got"), expected: $(printf '\n%s' "$expected")"
    log "the $1 window reads as expected"
}
expected_tree() {
    local title
    title=$(awk 'BEGIN { RS = "\r\n" } substr($0, 1, 8) <= "20240315" && length($0) > 0 { print substr($0, 10, 41); exit }' \
        "$WORK/qndelar.qdl" 2>/dev/null | iconv -f WINDOWS-1252 -t UTF-8)
    printf 'frame\t%s\n' "$TARVENIA_TITLE"
    if [ "$1" = idle ]; then
        printf 'image\t\nfiller\t\nstatus bar\t\nfiller\t\n'
        printf 'push button\tSalir\npush button\tConectar\n'
    else
        printf 'image\t%s\nfiller\t\npush button\tAñade a las favoritas\n' "$title"
        printf 'status bar\tDescarga Completada\ncombo box\t%s\tFotos\ntext\tFotos\nfiller\t\n' "$title"
        printf 'push button\tSalir\npush button\tConfirmar\n'
    fi
}

log "default palette, with a screen reader's view"
run plain QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

log "dark palette (qt6ct, darker)"
mkdir -p "$T/config/qt6ct"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
    >"$T/config/qt6ct/qt6ct.conf"
run dark QT_QPA_PLATFORMTHEME=qt6ct
for state in idle photo; do
    compare -metric AE "$T/plain-$state.ppm" "$T/dark-$state.ppm" null: 2>"$T/diff-$state" ||
        fail "the $state window differs under the dark palette in $(cat "$T/diff-$state") pixels"
done
# Each text on its background: status bar, the two captions, the combo box.
for region in StatusBar1:4:3:200:14 Bsal:4:5:49:15 Bcnf:4:5:49:15 Combo:3:3:180:15; do
    IFS=: read -r control dx dy w h <<<"$region"
    box="LAYOUT_$control"
    read -r l t _ <<<"${!box}"
    ratio=$(/usr/bin/python3 "$HERE/contrast.py" "$T/dark-photo.ppm" $((l + dx)) $((t + dy)) "$w" "$h")
    log "$control: contrast $ratio : 1"
    awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' || fail "$control text has a contrast of $ratio : 1"
done
log "passed"
