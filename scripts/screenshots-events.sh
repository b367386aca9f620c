# Sourced by scripts/screenshots: a simulated panel with an event list on a
# pseudo-terminal of its own, for the pictures of the event list window.
#
#   screenshot_events_start <build folder> <work folder>   (sets ORVEL_SCREENSHOT_EVENTS)
#   screenshot_events_stop

screenshot_events_pid=""

screenshot_events_start() {
    local build="$1" work="$2"
    cmake --build "$build" --target orvel-sim
    # Panel 3's log, oldest first: channel parameter display ticks.
    cat >"$work/events.txt" <<'LIST'
1   1 1   12000
1   0 2   13460
ACK 0 0   13461
2   1 4   98234
3   1 1  150002
ACK 3 3  150777
3   2 0  201440
2   2 0  207311
11  4 5  350000
11  5 0  420500
12  6 3  612345
12  7 0  640000
15  8 6  700123
4   1 1  812000
4   9 0  812500
ACK 10 5 900000
0x5123 0x0400
1   11 0 1048575
LIST
    "$build/bin/orvel-sim" --link "$work/ttyEvents" --panel 3 --events "3=$work/events.txt" \
        >/dev/null &
    screenshot_events_pid=$!
    for _ in $(seq 50); do [ -e "$work/ttyEvents" ] && break; sleep 0.1; done
    export ORVEL_SCREENSHOT_EVENTS="$work/ttyEvents:3"
}

screenshot_events_stop() {
    if [ -n "$screenshot_events_pid" ]; then
        kill "$screenshot_events_pid" 2>/dev/null || true
        wait "$screenshot_events_pid" 2>/dev/null || true
    fi
    screenshot_events_pid=""
}
