#!/usr/bin/env bash
# check_runner_without_wm.sh <runner>: run inside xvfb-run. A window manager that never starts
# (one that ends at once, one that never announces itself) makes the runner fail with its message
# instead of running the test without a manager.
set -uo pipefail
runner=$1
marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
for manager in false "sleep 60"; do
    rm -f "$marker"
    output=$(HANLEXO_WINDOW_MANAGER=$manager HANLEXO_WM_WAIT=2 "$runner" --wm touch "$marker" 2>&1)
    status=$?
    if [ "$status" -eq 0 ] || [ -e "$marker" ]; then
        echo "FAIL: with '$manager' the runner ran the test (status $status)"
        exit 1
    fi
    case $output in
        *"window manager ($manager) "*) ;;
        *) echo "FAIL: with '$manager' the runner said: $output"; exit 1 ;;
    esac
done
echo "PASS: the runner refuses to run without a window manager"
