#!/usr/bin/env bash
# mutate.sh [PATH...] [--seed N] [--count N] [--base REV]: the mutation check. Puts single-point
# faults one at a time into the sources (the src/ lines changed since the branch left main, or
# faults drawn from the given files and folders), rebuilds what the suites of that folder need in
# build-mutate/ (Debug, ccache), runs those suites, core suites first, and prints each fault no
# suite noticed with its diff, then "N killed, M survived". Not part of CI: it takes minutes per
# dozen faults. --help lists every option.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh python3 ccache mold
exec python3 scripts/mutate.py "$@"
