#!/bin/sh
# atspi_check.sh <program> <lessons directory> <bus launcher> <python> <check script>
# Run inside xvfb-run and dbus-run-session: starts the accessibility bus and the program on a copy
# of the lessons, reads its tree through AT-SPI, then ends both; fails on any word on the
# program's error output.
set -u
program=$1 lessons=$2 launcher=$3 python=$4 check=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$lessons"/*.txt "$work"/
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_CONFIG_HOME="$work/config"
"$launcher" --launch-immediately >/dev/null 2>&1 &
bus=$!
# The program looks for the accessibility bus once, at start: wait until it answers.
tries=0
until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "FAIL: no accessibility bus"; exit 1; }
    sleep 0.1
done
cd "$work"
# The program says nothing on its way: a Qt warning there (a thread taken for the main one, a
# missing plugin) is a fault, whatever the tree shows.
"$program" 2>"$work/stderr" &
app=$!
"$python" "$check"
status=$?
kill "$app" "$bus" 2>/dev/null
wait "$app" 2>/dev/null
# Qt's note on an unset runtime directory belongs to this bare session, not to the program.
if grep -v '^QStandardPaths: XDG_RUNTIME_DIR not set' "$work/stderr" | grep -q .; then
    echo "FAIL: the program wrote on its error output:"
    cat "$work/stderr"
    status=1
fi
exit $status
