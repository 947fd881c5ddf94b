# Helpers shared by the scripts that build, run and drive the program:
# logging, waiting, Xvfb, finding the window and clicking at its controls.
# Source it; it sets nothing but functions and the names below.
#   . "$(dirname "${BASH_SOURCE[0]}")/lib.sh"          (from scripts/)
#   . "$TARVENIA_ROOT/scripts/lib.sh"

TARVENIA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The window's title, UTF-8 as xdotool finds it.
TARVENIA_TITLE="Imágenes de Tarvenia"
# The window's layout as shell assignments, written by the build from
# src/window/layout.h (tools/window_layout): the default build's unless set.
: "${TARVENIA_LAYOUT:=$TARVENIA_ROOT/build/default/window_layout.sh}"

# Messages carry the name of the script that prints them.
: "${LOG_TAG:=$(basename "$0")}"
log() { printf '%s: %s\n' "$LOG_TAG" "$*"; }
fail() {
    printf '%s: FAILED: %s\n' "$LOG_TAG" "$*" >&2
    exit 1
}

# at_exit COMMAND: run when the script ends, the latest first; a failing one
# does not keep the others from running.
at_exit() {
    TARVENIA_AT_EXIT="{ $*; } || true; ${TARVENIA_AT_EXIT:-}"
    # shellcheck disable=SC2064 # the commands are fixed now, their variables at exit
    trap "$TARVENIA_AT_EXIT" EXIT
}

# wait_for SECONDS COMMAND...: until the command succeeds, at most that long,
# trying every WAIT_STEP seconds (0.2 unless set).
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep "${WAIT_STEP:-0.2}"
    done
}

# not COMMAND...: succeeds when the command fails (for wait_for).
not() { ! "$@"; }
# running PID: whether the process is still there.
running() { kill -0 "$1" 2>/dev/null; }

# in_xvfb SECONDS COMMAND...: the command on a screen of its own (1024 x 768,
# 24 bits), bounded in time.
in_xvfb() {
    local limit=$1
    shift
    timeout "$limit" xvfb-run -a -s '-screen 0 1024x768x24' "$@"
}

# window_shown [TITLE]: whether a window of that title (the program's unless
# given) is mapped.
window_shown() { [ -n "$(xdotool search --onlyvisible --name "${1:-$TARVENIA_TITLE}" 2>/dev/null)" ]; }

# find_window [SECONDS]: waits for the program's window to be mapped and sets
# WID, WX, WY, WIDTH and HEIGHT (the window's place and size on the screen).
find_window() {
    WID=$(timeout "${1:-30}" xdotool search --sync --onlyvisible --name "$TARVENIA_TITLE" | head -n1) ||
        return 1
    [ -n "$WID" ] || return 1
    # xwininfo's absolute place; xdotool's is off for a window inside another
    # (Wine's virtual desktop).
    local info
    info=$(xwininfo -id "$WID")
    WX=$(sed -n 's/.*Absolute upper-left X: *\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$info")
    WY=$(sed -n 's/.*Absolute upper-left Y: *\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$info")
    WIDTH=$(sed -n 's/^ *Width: *\([0-9]*\).*/\1/p' <<<"$info")
    HEIGHT=$(sed -n 's/^ *Height: *\([0-9]*\).*/\1/p' <<<"$info")
}

# load_layout: sets LAYOUT_<control> ("left top width height" in the
# window's client coordinates), LAYOUT_CLIENT_WIDTH, LAYOUT_CLIENT_HEIGHT and
# the colours LAYOUT_BACKGROUND (where a hidden control leaves nothing drawn)
# and LAYOUT_STATUS_COLOUR as "r,g,b".
load_layout() {
    [ -f "$TARVENIA_LAYOUT" ] ||
        fail "no window layout at $TARVENIA_LAYOUT (cmake --build --preset default --target window_layout)"
    # shellcheck source=/dev/null
    . "$TARVENIA_LAYOUT"
}

# at NAME [DX DY]: a point of a control in window coordinates, DX DY from its
# top left corner (its centre without them).
at() {
    local box="LAYOUT_$1" l t w h
    read -r l t w h <<<"${!box}"
    echo "$((l + ${2:-$((w / 2))})) $((t + ${3:-$((h / 2))}))"
}

# The functions below take a POINT: "X Y" in window coordinates, or
# "NAME [DX DY]", a point of a control as `at` gives it. Window coordinates
# are logical pixels: on a screen scaled by SCALE (a whole number, 1 unless
# set) each is SCALE device pixels.
point() { if [[ $1 == [0-9]* ]]; then echo "$1 $2"; else at "$@"; fi; }

# pixel POINT: the colour on the screen as "r,g,b".
pixel() {
    local s=${SCALE:-1} x y
    read -r x y <<<"$(point "$@")"
    import -window root -crop "1x1+$((WX + s * x))+$((WY + s * y))" +repage txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# shown POINT, hidden POINT: whether something is drawn there or the window's
# background shows (load_layout first).
shown() { [ "$(pixel "$@")" != "$LAYOUT_BACKGROUND" ]; }
hidden() { [ "$(pixel "$@")" = "$LAYOUT_BACKGROUND" ]; }

# click POINT.
click() {
    local x y
    read -r x y <<<"$(point "$@")"
    xdotool mousemove $((WX + ${SCALE:-1} * x)) $((WY + ${SCALE:-1} * y)) click 1
}

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
    wait_for 30 grep -qs '^listening on' "$out" || fail "the demo service did not start: $(cat "$out")"
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
    at_exit 'if [ -z "${KEEP_E2E:-}" ]; then rm -rf "$T"; else log "kept $T"; fi'
    at_exit stop_demo_service
}

# prepare_window_test TAG PROGRAM SERVICE: make_test_dir TAG, a copy of the
# program in T/bin (its favourites file then lies in T) and the demo service
# started on the usual day.
prepare_window_test() {
    make_test_dir "$1"
    cp "$(readlink -f "$2")" "$T/bin/quindelar"
    start_demo_service "$(readlink -f "$3")" "$T/service.out" --date 20240315 --log "$T/service.log"
}

# rerun_in_xvfb VAR: the calling script again, in the private session of T
# on a screen of its own, with VAR set to T so that it knows it is inside.
rerun_in_xvfb() {
    with_session_env "$1=$T" \
        bash -c '. "$1"; in_xvfb 240 bash "$2"' _ "$TARVENIA_ROOT/scripts/lib.sh" "$0"
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
