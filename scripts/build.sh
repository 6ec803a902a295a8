#!/usr/bin/env bash
# build.sh [directory] [CMake options...] [-- build options...]: configures into the directory
# (default build/) with the CMake options, then builds there, everything or what the build options
# (such as --target NAME...) ask.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
configure=()
build=()
while [ $# -gt 0 ]; do
    if [ "$1" = -- ]; then
        shift
        build=("$@")
        break
    fi
    configure+=("$1")
    shift
done
echo "hanlexo: configuring and building in $dir/"
# The configure output shows which optional tests are on.
cmake -S . -B "$dir" "${configure[@]}"
cmake --build "$dir" -j "$(nproc)" "${build[@]}"
