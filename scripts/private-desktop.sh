# shellcheck shell=bash
# Sourced by the scripts that need a private X display (Xvfb) with a window manager (openbox),
# where focus and modal boxes behave as on an operator's desktop. The caller keeps an array
# `pids` of what it started and kills them on exit.

# Waits (bounded) until command succeeds while the process pid runs.
wait_for() {
    local pid=$1
    shift
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || return 1
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# The window manager runs once it has announced itself on the root window.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# Starts Xvfb and openbox on the first display number without a lock file, their logs in the
# folder log_dir, and exports DISPLAY. Another server that took the number meanwhile ends ours,
# which the wait notices. Without -noreset the server resets when the probe disconnects and
# turns the window manager away.
start_private_desktop() {
    local log_dir=$1 display=90
    while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1024x640x24 -nolisten tcp -noreset >"$log_dir/xvfb.log" 2>&1 &
    local xvfb=$!
    pids+=("$xvfb")
    export DISPLAY=":$display"
    wait_for "$xvfb" xdpyinfo || { cat "$log_dir/xvfb.log"; return 1; }
    openbox >"$log_dir/openbox.log" 2>&1 &
    local openbox=$!
    pids+=("$openbox")
    wait_for "$openbox" wm_running || { cat "$log_dir/openbox.log"; return 1; }
}
