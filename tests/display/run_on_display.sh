#!/usr/bin/env bash
# run_on_display.sh [--wm] <test program> [arguments]: runs a test on the X display that xvfb-run
# made, on the xcb platform, and with --wm under a window manager (openbox, or the command in
# HANLEXO_WINDOW_MANAGER) for what only a window manager's frame and placement show. Waits for
# the manager to announce itself, up to HANLEXO_WM_WAIT seconds (30 by default, for a busy
# machine), and fails with a message when it never does, rather than running the test without it.
set -uo pipefail
wm=
if [ "${1:-}" = --wm ]; then
    wm=1
    shift
fi
export QT_QPA_PLATFORM=xcb
if [ -n "$wm" ]; then
    manager=${HANLEXO_WINDOW_MANAGER:-openbox --sm-disable}
    wait_for=${HANLEXO_WM_WAIT:-30}
    $manager >/dev/null 2>&1 &
    manager_pid=$!
    trap 'kill "$manager_pid" 2>/dev/null; wait "$manager_pid" 2>/dev/null' EXIT
    # Ready once it has announced itself on the root window (the window it names must exist).
    deadline=$((SECONDS + wait_for))
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        if ! kill -0 "$manager_pid" 2>/dev/null; then
            echo "run_on_display: the window manager ($manager) ended before it started" >&2
            exit 1
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "run_on_display: the window manager ($manager) did not start within $wait_for s" >&2
            exit 1
        fi
        sleep 0.05
    done
fi
"$@"
