#!/usr/bin/env bash
# lint.sh [build directory]: checks the C++ sources against the root's .clang-format (every file)
# and .clang-tidy (the files changed since the branch left main, or those of the last commit on
# main itself, and any uncommitted ones), with the compile commands of the build directory
# (default build/). Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "hanlexo: clang-format check of ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"

base=$(git merge-base HEAD main 2>/dev/null || true)
if [ -z "$base" ] || [ "$base" = "$(git rev-parse HEAD)" ]; then
    base=$(git rev-parse --verify -q HEAD~1 || true)
fi
mapfile -t changed < <(
    { [ -n "$base" ] && git diff --name-only --diff-filter=d "$base" HEAD; git diff --name-only --diff-filter=d HEAD; } \
        | grep -E '\.cpp$' | grep -Ev '^(fuzz)/' | sort -u || true)
# Only files the build compiles have compile commands.
tidy=()
for file in "${changed[@]}"; do
    grep -q "\"file\": \"$PWD/$file\"" "$build/compile_commands.json" && tidy+=("$file")
done
if [ ${#tidy[@]} -eq 0 ]; then
    echo "hanlexo: clang-tidy: no changed file to check"
    exit 0
fi
echo "hanlexo: clang-tidy on ${#tidy[@]} changed files"
printf '%s\0' "${tidy[@]}" \
    | xargs -0 -n 1 -P "$(nproc)" clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null
echo "hanlexo: lint passed"
