#!/usr/bin/env bash
# first_paint_instructions.sh [build directory] [lesson directory]: the instructions (callgrind's
# Ir) that the program and a bare Qt window with one button each run from their start to their
# first paint, in one run, and their ratio. The program starts in an empty folder, or in a copy of
# the lesson directory's *.txt files. Needs valgrind and a Release build with the benchmarks
# (scripts/bench.sh makes it); run it under xvfb-run with QT_QPA_PLATFORM=xcb to count what a
# learner's start-up runs, X connection included, or as it is for the off-screen platform.
set -euo pipefail
build=$(realpath "${1:-build-rel}")
lessons=${2:-}
for probe in bare_window_probe startup_probe; do
    [ -x "$build/bench/$probe" ] || { echo "no $build/bench/$probe: build with scripts/bench.sh" >&2; exit 2; }
done
command -v valgrind >/dev/null || { echo "valgrind is missing: apt-get install valgrind" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/folder" "$work/out"
[ -n "$lessons" ] && cp "$lessons"/*.txt "$work/folder/"
# The program's settings file goes beside the executable: a copy keeps the build's own untouched.
cp "$build/bench/startup_probe" "$work/"
count() {
    (cd "$work/folder" && valgrind --tool=callgrind --callgrind-out-file="$work/out/$1.out" \
        "$2" --until-painted >/dev/null 2>"$work/out/$1.log")
    sed -n 's/^summary: //p' "$work/out/$1.out"
}
bare=$(count bare "$build/bench/bare_window_probe")
program=$(count program "$work/startup_probe")
awk -v b="$bare" -v p="$program" 'BEGIN {
    printf "bare window: %.1f M instructions\nprogram:     %.1f M instructions\nratio:       %.2f\n",
        b / 1e6, p / 1e6, p / b }'
