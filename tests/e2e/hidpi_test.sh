#!/usr/bin/env bash
# The real window on a screen scaled 2× (QT_SCALE_FACTOR=2 under Xvfb),
# against the demo photo service: the layout keeps its logical pixels
# (502 × 360 device pixels, every control at twice its position), the preview
# is a nearest-neighbour sampling of the photo at 320 × 240 device pixels, and
# the favourites button's glyph is enlarged without smoothing.
#   hidpi_test.sh QUINDELAR DEMO_SERVICE
set -euo pipefail

LOG_TAG=hidpi
. "$(dirname "$0")/../../scripts/lib.sh"
STEP_TIMEOUT=30
load_layout
SCALE=2

if [ -z "${TARVENIA_HIDPI_DIR:-}" ]; then
    prepare_window_test hidpi "$1" "$2"
    with_session_env env -u QT_SCREEN_SCALE_FACTORS -u QT_AUTO_SCREEN_SCALE_FACTOR \
        -u QT_ENABLE_HIGHDPI_SCALING QT_SCALE_FACTOR=$SCALE TARVENIA_HIDPI_DIR="$T" \
        timeout 240 xvfb-run -a -s '-screen 0 1920x1200x24' bash "$0" || exit $?
    exit 0
fi

# --- inside Xvfb --------------------------------------------------------------
T=$TARVENIA_HIDPI_DIR
WORK="$T/data/tarvenia"

# Positions are given in logical pixels; lib.sh's pixel and click double them.
crop() { # "x y w h" (a layout box, logical) → binary PPM on stdout
    local x y w h
    read -r x y w h <<<"$1"
    import -window root -crop "$((SCALE * w))x$((SCALE * h))+$((WX + SCALE * x))+$((WY + SCALE * y))" \
        +repage -depth 8 ppm:- 2>/dev/null
}

"$T/bin/quindelar" >"$T/quindelar.out" 2>&1 &
APP_PID=$!
find_window "$STEP_TIMEOUT" || fail "no window"
log "window at ($WX,$WY) ${WIDTH}x${HEIGHT}"
# Screen 1920 × 1200 is 960 × 600 logical: the window stands at
# (960 − 275, 600 − 350) logical pixels.
[ "$WIDTH x $HEIGHT" = "502 x 360" ] || fail "window of ${WIDTH}x${HEIGHT}, expected 502x360"
[ "$WX,$WY" = "1370,500" ] || fail "window at ($WX,$WY), expected (1370,500)"

# Each control at twice its place: a point inside it drawn, a point of the
# window's background just outside it not.
BCNF="Bcnf 9 12" PREVIEW="Image1 76 60" STATUS="StatusBar1 240 11"
wait_for 5 shown Bcon || fail "\"Conectar\" not at twice ($(at Bcon))"
shown Bsal || fail "\"Salir\" not at twice ($(at Bsal))"
hidden $BCNF || fail "\"Confirmar\" shown before connecting"
hidden $PREVIEW || fail "preview not empty before connecting"
[ "$(pixel $STATUS)" = "$LAYOUT_STATUS_COLOUR" ] ||
    fail "status bar not at twice ($(at $STATUS)): $(pixel $STATUS)"
hidden 171 60 || fail "background expected between the preview and the group box"

log "connect"
click Bcon
wait_for "$STEP_TIMEOUT" shown $PREVIEW || fail "no photo shown"
wait_for "$STEP_TIMEOUT" shown $BCNF || fail "\"Confirmar\" not at twice ($(at $BCNF))"
wait_for "$STEP_TIMEOUT" shown Badd || fail "the favourites button not at twice ($(at Badd))"
shown Combo 92 10 || fail "the combo box not at twice ($(at Combo 92 10))"
hidden 171 146 && fail "the combo box should reach (342,292)"
sleep 0.5
import -window root -crop "502x360+$WX+$WY" +repage "$T/window.png"
[ -s "$WORK/qndelar.jpg" ] || fail "no photo file"

# The preview against djpeg's decoding of the same file, sampled at 320 × 240
# by dropping and repeating pixels. The bevel draws a 1-pixel frame over the
# preview's edges: 2 logical pixels all round are left out.
djpeg -ppm "$WORK/qndelar.jpg" >"$T/photo.ppm" || fail "djpeg"
crop "$LAYOUT_Image1" >"$T/preview.ppm"
crop "$LAYOUT_Badd" >"$T/badd.ppm"
PYTHONPATH="$TARVENIA_ROOT/tests/e2e" python3 - "$T/photo.ppm" "$T/preview.ppm" "$T/badd.ppm" <<'PY' || fail "pixel check"
import sys
import contrast


def read_ppm(path):
    w, h, px = contrast.read_ppm(path)
    return w, h, lambda x, y: tuple(px[3 * (y * w + x):3 * (y * w + x) + 3])

pw, ph, photo = read_ppm(sys.argv[1])
vw, vh, shown = read_ppm(sys.argv[2])
assert (vw, vh) == (320, 240), (vw, vh)
bad = 0
for y in range(4, vh - 4):
    for x in range(4, vw - 4):
        if shown(x, y) != photo(x * pw // vw, y * ph // vh):
            bad += 1
print(f"hidpi: photo {pw}x{ph}, preview 320x240 device pixels, {bad} pixels differ")
if bad:
    sys.exit(1)

# The folder glyph: its 59 yellow pixels as 2 × 2 blocks, no blend of yellow
# with white or black (smoothing).
bw, bh, button = read_ppm(sys.argv[3])
blends = sum(1 for y in range(bh) for x in range(bw)
             for r, g, b in [button(x, y)] if r == g and r > 200 and b < r - 20 and b != 0)
yellow = sum(1 for y in range(bh) for x in range(bw) if button(x, y) == (255, 255, 0))
print(f"hidpi: glyph with {yellow} yellow pixels, {blends} blended")
if blends or yellow != 4 * 59:
    sys.exit(1)
PY

log "close"
click Bsal
wait_for 10 not running "$APP_PID" || fail "the program did not end"
log "passed"
