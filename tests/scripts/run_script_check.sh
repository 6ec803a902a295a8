#!/usr/bin/env bash
# run_script_check.sh <source dir>: runs a copy of scripts/run.sh, with deps.sh and build.sh, in a
# temporary tree where dpkg-query, apt-get, sudo and cmake are stand-ins that log their arguments,
# and the built program is a stand-in that logs where it starts. Fails unless:
#  - without a display, run.sh stops at once with its message, having installed and built nothing;
#  - with one, it configures build/ and builds only the two programs there, then starts
#    build/hanlexo-vocab in lessons/;
#  - a missing package is installed with apt-get (through sudo for another user than root) before
#    the build.
set -euo pipefail
source_dir=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/scripts" "$tree/lessons" "$tree/stubs"
cp "$source_dir"/scripts/{run.sh,deps.sh,as-root.sh,build.sh} "$tree/scripts/"
log=$tree/calls

stub() {
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n%s\n' "$1" "$log" "${2:-}" >"$tree/stubs/$1"
    chmod +x "$tree/stubs/$1"
}
# Every package installed, but the one named in $MISSING.
stub dpkg-query '[ "$3" = "$MISSING" ] || echo "install ok installed"'
stub apt-get
stub sudo
# The build step makes the program: a stand-in that logs its directory.
stub cmake "if [ \"\$1\" = --build ]; then mkdir -p build && cp '$tree/program' build/hanlexo-vocab; fi"
printf '#!/bin/sh\necho "program started in $(pwd)" >>"%s"\n' "$log" >"$tree/program"
chmod +x "$tree/program"
stub nproc 'echo 2'

fail() {
    echo "FAIL: $*" >&2
    [ -f "$log" ] && sed 's/^/  call: /' "$log" >&2
    exit 1
}

# No display.
status=0
output=$(env -i PATH="$tree/stubs:/usr/bin:/bin" HOME="$tree" "$tree/scripts/run.sh" 2>&1) || status=$?
[ $status -eq 1 ] || fail "without a display, exit status $status instead of 1"
[[ $output == *"no display found"*"xvfb-run -a scripts/run.sh"* ]] \
    || fail "without a display, no message saying so: $output"
[ ! -e "$log" ] || fail "without a display, something was run"
[ ! -e "$tree/build" ] || fail "without a display, build/ was made"

# A display.
env -i PATH="$tree/stubs:/usr/bin:/bin" HOME="$tree" DISPLAY=:99 "$tree/scripts/run.sh" >/dev/null \
    || fail "with a display, run.sh failed"
grep -q '^dpkg-query ' "$log" || fail "the set-up did not look for the packages"
! grep -q '^apt-get ' "$log" || fail "apt-get ran although every package is installed"
grep -qx 'cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo' "$log" \
    || fail "build/ not configured as expected"
grep -qx 'cmake --build build -j 2 --target hanlexo-vocab hanlexo-lesson' "$log" \
    || fail "not only the two programs built"
[ "$(grep -c '^cmake ' "$log")" -eq 2 ] || fail "cmake run other than to configure and build once"
grep -qx "program started in $tree/lessons" "$log" || fail "the program not started in lessons/"
[ "$(tail -n 1 "$log")" = "program started in $tree/lessons" ] || fail "the program not started last"

# A package missing: installed through apt-get, by root itself or through sudo, before the build.
rm -rf "$log" "$tree/build"
env -i PATH="$tree/stubs:/usr/bin:/bin" HOME="$tree" DISPLAY=:99 MISSING=fonts-liberation \
    "$tree/scripts/run.sh" >/dev/null || fail "with a package missing, run.sh failed"
if [ "$(id -u)" -eq 0 ]; then as_root=; else as_root='sudo '; fi
[ "$(grep -Ev '^(dpkg-query|nproc) ' "$log" | head -n 2)" = "${as_root}apt-get update -qq
${as_root}apt-get install -y -qq --no-install-recommends fonts-liberation" ] \
    || fail "the missing package not installed first, alone"
echo "run.sh: stops first without a display; installs what is missing, builds the two programs and starts in lessons/"
