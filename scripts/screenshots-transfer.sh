# Sourced by scripts/screenshots: simulated panels on a pseudo-terminal of
# their own for the pictures of a read (slave 1 at firmware 1.06, slave 2 at
# 1.02), answering at the pace of the line so the progress can be pictured.
#
#   screenshot_transfer_start <build folder> <work folder>   (sets ORVEL_SCREENSHOT_PANEL)
#   screenshot_transfer_stop

screenshot_transfer_pid=""

screenshot_transfer_start() {
    local build="$1" work="$2"
    cmake --build "$build" --target orvel-sim
    "$build/bin/orvel-sim" --link "$work/ttyPanels" --wire-time \
        --panel 1:1.06 --panel 2:1.02 >/dev/null &
    screenshot_transfer_pid=$!
    for _ in $(seq 50); do [ -e "$work/ttyPanels" ] && break; sleep 0.1; done
    export ORVEL_SCREENSHOT_PANEL="$work/ttyPanels"
}

screenshot_transfer_stop() {
    if [ -n "$screenshot_transfer_pid" ]; then
        kill "$screenshot_transfer_pid" 2>/dev/null || true
        wait "$screenshot_transfer_pid" 2>/dev/null || true
    fi
    screenshot_transfer_pid=""
}
