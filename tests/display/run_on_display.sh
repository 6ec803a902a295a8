#!/usr/bin/env bash
# run_on_display.sh [--wm] <test program> [arguments]: runs a test on the X display that xvfb-run
# made, on the xcb platform, and with --wm under openbox (for what only a window manager's frame
# and placement show).
set -uo pipefail
wm=
if [ "${1:-}" = --wm ]; then
    wm=1
    shift
fi
export QT_QPA_PLATFORM=xcb
if [ -n "$wm" ]; then
    openbox --sm-disable >/dev/null 2>&1 &
    openbox_pid=$!
    trap 'kill "$openbox_pid" 2>/dev/null; wait "$openbox_pid" 2>/dev/null' EXIT
    # Ready once it has announced itself on the root window.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
fi
"$@"
