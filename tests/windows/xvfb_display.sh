#!/usr/bin/env bash
# The X display every Windows test program runs with under Wine, as a CTest fixture. The screen
# is large enough for the window at 192 DPI (twice its 96-DPI size), as a monitor of that DPI is:
#   xvfb_display.sh start <display number> <state file>   starts Xvfb and waits for it
#   xvfb_display.sh stop <display number> <state file>     ends the one it started
set -euo pipefail
action=$1
display=$2
state=$3

stop() {
    if [ -f "$state" ]; then
        kill "$(cat "$state")" 2>/dev/null || true
        rm -f "$state"
    fi
}

case "$action" in
start)
    stop  # one left behind by an interrupted run
    if [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; then
        echo "X display :$display is taken by another server" >&2
        exit 1
    fi
    setsid Xvfb ":$display" -screen 0 2560x1600x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! >"$state"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$display" ] && exit 0
        sleep 0.1
    done
    echo "Xvfb did not start on :$display" >&2
    stop
    exit 1
    ;;
stop)
    stop
    ;;
esac
