#!/usr/bin/env bash
# Checks the systemd user units of the daily run: systemd-analyze verify
# --user finds nothing to say (it warns on stderr with status 0, so its
# stderr must stay empty), the service runs the program once with --today,
# the timer fires daily and after log-in, and nothing enables them.
#   check_units.sh UNIT_DIR [PROGRAM]
# With PROGRAM, copies of the units are checked with ExecStart pointing at it
# (a build tree or an unpacked package); without, the units in place (an
# installed package).
set -euo pipefail

DIR=$1
PROGRAM=${2:-}
fail() {
    printf 'check-units: FAILED: %s\n' "$*" >&2
    exit 1
}
log() { printf 'check-units: %s\n' "$*"; }
command -v systemd-analyze >/dev/null || {
    log "no systemd-analyze (package systemd): skipped"
    exit 77
}
T=$(mktemp -d "${TMPDIR:-/tmp}/tarvenia-units.XXXXXX")
trap 'rm -rf "$T"' EXIT
mkdir -m 700 "$T/runtime"

SERVICE="$DIR/quindelar-daily.service"
TIMER="$DIR/quindelar-daily.timer"
[ -f "$SERVICE" ] && [ -f "$TIMER" ] || fail "no units in $DIR"
if [ -n "$PROGRAM" ]; then
    mkdir "$T/units"
    sed "s|^ExecStart=[^ ]*|ExecStart=$(readlink -f "$PROGRAM")|" "$SERVICE" >"$T/units/quindelar-daily.service"
    cp "$TIMER" "$T/units/"
    SERVICE="$T/units/quindelar-daily.service"
    TIMER="$T/units/quindelar-daily.timer"
fi

XDG_RUNTIME_DIR="$T/runtime" systemd-analyze verify --user "$TIMER" "$SERVICE" 2>"$T/stderr" ||
    fail "systemd-analyze verify: $(cat "$T/stderr")"
[ ! -s "$T/stderr" ] || fail "systemd-analyze verify: $(cat "$T/stderr")"

has() { grep -qx -- "$2" "$1" || fail "$(basename "$1") lacks $2"; }
has "$SERVICE" "Type=oneshot"
grep -qE '^ExecStart=/[^ ]*/quindelar --today$' "$SERVICE" || fail "ExecStart: $(grep ExecStart "$SERVICE")"
has "$TIMER" "OnCalendar=daily"
has "$TIMER" "Persistent=true"
has "$TIMER" "RandomizedDelaySec=1h"
grep -qE '^OnStartupSec=[0-9]+min$' "$TIMER" || fail "the timer does not fire after log-in"
has "$TIMER" "WantedBy=timers.target"
if [ -z "$PROGRAM" ]; then
    # Installed: enabling is each user's choice (systemctl --user enable).
    for wants in /etc/systemd/user/timers.target.wants /usr/lib/systemd/user/timers.target.wants; do
        [ ! -e "$wants/quindelar-daily.timer" ] || fail "the timer is enabled in $wants"
    done
fi
log "verified: $(basename "$SERVICE"), $(basename "$TIMER")"
