#!/usr/bin/env bash
# Configures and builds into the given directory (default build/) with the given CMake options.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
echo "hanlexo: configuring and building in $dir/"
# The configure output shows which optional tests are on.
cmake -S . -B "$dir" "$@"
cmake --build "$dir" -j "$(nproc)"
