# Helpers shared by the scripts that build, run and drive the program:
# logging, waiting, Xvfb, finding the window and clicking at its controls.
# Source it; it sets nothing but functions and the names below.
#   . "$(dirname "${BASH_SOURCE[0]}")/lib.sh"          (from scripts/)
#   . "$TARVENIA_ROOT/scripts/lib.sh"

TARVENIA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The window's title (UTF-8, as xdotool finds it) and the colour of its
# background, where a hidden control leaves nothing drawn.
TARVENIA_TITLE="Imágenes de Tarvenia"
TARVENIA_LAYOUT="$TARVENIA_ROOT/src/window/layout.h"

# Messages carry the name of the script that prints them.
: "${LOG_TAG:=$(basename "$0")}"
log() { printf '%s: %s\n' "$LOG_TAG" "$*"; }
fail() {
    printf '%s: FAILED: %s\n' "$LOG_TAG" "$*" >&2
    exit 1
}

# wait_for SECONDS COMMAND...: until the command succeeds, at most that long.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# in_xvfb SECONDS COMMAND...: the command on a screen of its own (1024 x 768,
# 24 bits), bounded in time.
in_xvfb() {
    local limit=$1
    shift
    timeout "$limit" xvfb-run -a -s '-screen 0 1024x768x24' "$@"
}

# find_window [SECONDS]: waits for the program's window and sets WID, WX, WY,
# WIDTH and HEIGHT (the window's place and size on the screen).
find_window() {
    WID=$(timeout "${1:-30}" xdotool search --sync --name "$TARVENIA_TITLE" | head -n1) || return 1
    [ -n "$WID" ] || return 1
    local X Y
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    WX=$X
    WY=$Y
}

# layout_box NAME: "left top width height" of a control in the window, read
# from the layout the front-ends draw (controls inside GroupBox1 are moved by
# its place).
layout_box() {
    local name=$1 box parent
    box=$(sed -n "s/.*constexpr Box k$name *{ *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\) *}.*/\1 \2 \3 \4/p" "$TARVENIA_LAYOUT")
    [ -n "$box" ] || fail "no control $name in $TARVENIA_LAYOUT"
    parent=$(sed -n "s/.*constexpr Box k$name .*in \(k[A-Za-z0-9]*\).*/\1/p" "$TARVENIA_LAYOUT")
    if [ -n "$parent" ]; then
        local l t w h pl pt rest
        read -r l t w h <<<"$box"
        read -r pl pt rest <<<"$(layout_box "${parent#k}")"
        box="$((pl + l)) $((pt + t)) $w $h"
    fi
    echo "$box"
}

# layout_value NAME: a number of the layout ("kClientWidth" -> 251).
layout_value() {
    local value
    value=$(sed -n "s/.*constexpr int $1 *= *\([0-9]*\);.*/\1/p" "$TARVENIA_LAYOUT")
    [ -n "$value" ] || fail "no value $1 in $TARVENIA_LAYOUT"
    echo "$value"
}

# at NAME [DX DY]: a point of a control in window coordinates, DX DY from its
# top left corner (its centre without them).
at() {
    local l t w h
    read -r l t w h <<<"$(layout_box "$1")"
    echo "$((l + ${2:-$((w / 2))})) $((t + ${3:-$((h / 2))}))"
}

# The window's background colour as "r,g,b".
background_colour() {
    sed -n 's/.*constexpr Rgb kBackground *{ *\([0-9]*\), *\([0-9]*\), *\([0-9]*\) *}.*/\1,\2,\3/p' \
        "$TARVENIA_LAYOUT"
}

# Window coordinates are logical pixels: on a screen scaled by SCALE (a whole
# number, 1 unless set) each is SCALE device pixels.
# pixel X Y (window coordinates): the colour on the screen as "r,g,b".
pixel() {
    local s=${SCALE:-1}
    import -window root -crop "1x1+$((WX + s * $1))+$((WY + s * $2))" +repage txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# click X Y (window coordinates).
click() { xdotool mousemove $((WX + ${SCALE:-1} * $1)) $((WY + ${SCALE:-1} * $2)) click 1; }

# median: the median of the numbers in its input (words), for benchmarks.
median() { tr ' ' '\n' | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# start_demo_service SERVICE OUT_FILE [OPTION...]: the demo photo service on a
# free loopback port, its output in OUT_FILE; sets SERVICE_PID and PORT.
# stop_demo_service: stops it (nothing when it was not started).
start_demo_service() {
    local service=$1 out=$2
    shift 2
    "$service" --port 0 "$@" >"$out" 2>&1 &
    SERVICE_PID=$!
    wait_for 10 grep -qs '^listening on' "$out" || fail "the demo service did not start: $(cat "$out")"
    PORT=$(sed -n 's|^listening on http://127.0.0.1:\([0-9]*\).*|\1|p' "$out")
}
stop_demo_service() {
    if [ -n "${SERVICE_PID:-}" ]; then
        kill "$SERVICE_PID" 2>/dev/null || true
        wait "$SERVICE_PID" 2>/dev/null || true
        SERVICE_PID=""
    fi
}

# make_test_dir TAG: a temporary folder T with the bin, data, home, config and
# runtime folders of a private session; removed at exit (kept with
# KEEP_E2E=1), the demo service stopped with it.
make_test_dir() {
    T=$(mktemp -d "${TMPDIR:-/tmp}/tarvenia-$1.XXXXXX")
    mkdir -p "$T/bin" "$T/data" "$T/home" "$T/config" "$T/runtime"
    chmod 700 "$T/runtime"
    trap 'stop_demo_service; if [ -z "${KEEP_E2E:-}" ]; then rm -rf "$T"; else log "kept $T"; fi' EXIT
}

# with_session_env COMMAND...: the command in the private session of T, on
# the X screen, reaching the demo service on PORT through http_proxy: its own
# data, home and settings (GSettings in a keyfile, a GNOME desktop).
with_session_env() {
    env -u HTTP_PROXY -u NO_PROXY -u DBUS_SESSION_BUS_ADDRESS \
        http_proxy="http://127.0.0.1:$PORT" no_proxy="" \
        XDG_DATA_HOME="$T/data" HOME="$T/home" XDG_CONFIG_HOME="$T/config" \
        XDG_RUNTIME_DIR="$T/runtime" GSETTINGS_BACKEND=keyfile XDG_CURRENT_DESKTOP=GNOME \
        QT_QPA_PLATFORM=xcb "$@"
}
