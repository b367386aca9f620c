# Sourced by scripts/screenshots: three simulated panels on a pseudo-terminal
# of their own, for the pictures of the line scan window and the monitor.
#
#   screenshot_scan_start <build folder> <work folder>   (sets ORVEL_SCREENSHOT_SCAN)
#   screenshot_scan_stop

screenshot_scan_pid=""

screenshot_scan_start() {
    local build="$1" work="$2"
    cmake --build "$build" --target orvel-sim
    "$build/bin/orvel-sim" --link "$work/ttyScan" -p 3:1.04 -p 17:1.05 -p 64:1.06 >/dev/null &
    screenshot_scan_pid=$!
    for _ in $(seq 50); do [ -e "$work/ttyScan" ] && break; sleep 0.1; done
    export ORVEL_SCREENSHOT_SCAN="$work/ttyScan"
}

screenshot_scan_stop() {
    if [ -n "$screenshot_scan_pid" ]; then
        kill "$screenshot_scan_pid" 2>/dev/null || true
        wait "$screenshot_scan_pid" 2>/dev/null || true
    fi
    screenshot_scan_pid=""
}
