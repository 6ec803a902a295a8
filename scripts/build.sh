#!/usr/bin/env bash
# Configures and builds into the given directory (default build/) with the given CMake options.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
echo "hanlexo: configuring and building in $dir/"
cmake -S . -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
