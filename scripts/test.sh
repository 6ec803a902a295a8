#!/usr/bin/env bash
# Sets everything up, builds, checks the sources (scripts/lint.sh) and runs the whole test suite
# twice: in the normal build, then built with AddressSanitizer and UndefinedBehaviorSanitizer.
# With --quick, only the normal build and its suite.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=
if [ "${1:-}" = --quick ]; then
    quick=1
elif [ $# -gt 0 ]; then
    echo "usage: scripts/test.sh [--quick]" >&2
    exit 2
fi
# The validators of the desktop entry and the AppStream metainfo run as tests too, and so does
# cpack's refusal to package without dpkg-shlibdeps and file; the real-display suites need an X
# server, a window manager, real input and the accessibility bus; the lint step needs git (to list
# the files and the change), clang-format and clang-tidy.
scripts/deps.sh git desktop-file-utils appstream dpkg-dev file xvfb xauth openbox xdotool \
    x11-utils dbus at-spi2-core python3-pyatspi clang-format clang-tidy
jobs=$(nproc)

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
scripts/lint.sh build
echo "hanlexo: running the tests"
ctest --test-dir build --output-on-failure -j "$jobs"
[ -n "$quick" ] && exit 0

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DHANLEXO_SANITIZE=ON
echo "hanlexo: running the tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j "$jobs"
