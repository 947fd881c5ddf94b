#!/usr/bin/env bash
# Closing the window while a worker waits on a server that never answers: the
# process must end at once, not wait for the worker.
#   close_blocked_test.sh QUINDELAR
set -euo pipefail
command -v python3 >/dev/null || exit 77 # the silent server needs it
LOG_TAG=close-blocked
. "$(dirname "$0")/../../scripts/lib.sh"

load_layout

if [ -z "${TARVENIA_E2E_DIR:-}" ]; then
    make_test_dir close
    # Accepts connections and never sends a byte.
    python3 -c '
import socket, sys
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(8)
print(s.getsockname()[1], flush=True)
held = []
while True:
    held.append(s.accept()[0])
' >"$T/port" &
    SILENT_PID=$!
    at_exit 'kill "$SILENT_PID" 2>/dev/null'
    wait_for 30 test -s "$T/port" || fail "no silent server"
    PORT=$(cat "$T/port")
    env -u HTTP_PROXY -u NO_PROXY http_proxy="http://127.0.0.1:$PORT" no_proxy="" \
        XDG_DATA_HOME="$T/data" XDG_RUNTIME_DIR="$T/runtime" TARVENIA_E2E_DIR="$T" QT_QPA_PLATFORM=xcb \
        bash -c '. "$1"; in_xvfb 120 bash "$2" "$3"' _ "$TARVENIA_ROOT/scripts/lib.sh" "$0" \
        "$(readlink -f "$1")" || exit $?
    exit 0
fi

"$1" >/dev/null 2>&1 &
APP_PID=$!
find_window 30 || fail "no window"
click Bcon # "Conectar": the worker connects and waits
sleep 1.5
running "$APP_PID" || fail "the program ended by itself"
START=$(date +%s%N)
click Bsal # "Salir"
WAIT_STEP=0.02 wait_for 5 not running "$APP_PID" || true
ELAPSED=$((($(date +%s%N) - START) / 1000000))
if running "$APP_PID"; then
    kill -9 "$APP_PID"
    fail "still running ${ELAPSED} ms after \"Salir\""
fi
log "ended ${ELAPSED} ms after \"Salir\""
((ELAPSED < 1000)) || fail "took ${ELAPSED} ms to end"
