#!/usr/bin/env bash
# Sets everything up, builds in Release and runs every benchmark (medians of 5 repetitions).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh libbenchmark-dev
scripts/build.sh build-rel -DCMAKE_BUILD_TYPE=Release -DHANLEXO_BUILD_BENCH=ON -DHANLEXO_BUILD_TESTS=OFF
for bench in build-rel/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo "hanlexo: running $(basename "$bench")"
    "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null
done
