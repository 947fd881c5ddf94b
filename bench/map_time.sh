# Sourced by the window benchmarks (under Xvfb): time_to_map TITLE PROGRAM
# [ARGUMENT...] prints the milliseconds from the start of PROGRAM until its
# window titled TITLE is mapped; median (lib.sh) prints the median of its
# input words.
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"

# Milliseconds from the start of the process until its window is mapped. One
# xev on the root window reports every map as it happens. (Polling with a new
# xdotool process every few milliseconds competed with the program for the two
# cores and added up to a whole polling period to each figure.)
coproc XEV { exec xev -root -event substructure 2>/dev/null; }
sleep 0.5 # let xev select its events before the first program starts
time_to_map() { # title program [argument]
    local start now pid line window title=$1 result=-1
    shift
    start=${EPOCHREALTIME/./} # microseconds
    "$@" >/dev/null 2>&1 &
    pid=$!
    local deadline=$((SECONDS + 20))
    # Earlier programs' events (their unmapping, their end) are read past.
    while ((SECONDS <= deadline)) && read -r -t 20 line <&"${XEV[0]}"; do
        [[ $line == "MapNotify event"* ]] || continue
        read -r -t 20 line <&"${XEV[0]}" || break
        now=${EPOCHREALTIME/./}
        window=${line#*window }
        window=${window%%,*}
        if [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$title" ]]; then
            result=$(((now - start) / 1000))
            break
        fi
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    echo "$result"
}
