#!/usr/bin/env bash
# lint.sh [build directory]: checks the C++ sources against the root's .clang-format (every file)
# and .clang-tidy, with the compile commands of the build directory (default build/). clang-tidy
# checks every source of src/ in a CI run (CI=true) or with HANLEXO_TIDY_ALL=1; otherwise the
# src/ and tests/ files changed since the branch left main (or those of the last commit on main
# itself) and any uncommitted ones; in a CI run the changed test files too. Without git (a source
# archive) the files are found on disk, and clang-tidy checks all of src/. Fails on any finding,
# and when it found no file to check.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
all_tidy=${HANLEXO_TIDY_ALL:-}
[ "${CI:-}" = true ] && all_tidy=1

in_git=
if command -v git >/dev/null 2>&1 && git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    in_git=1
fi

if [ -n "$in_git" ]; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t sources < <(find src tests tools bench fuzz -name '*.cpp' -o -name '*.h' | sort)
    all_tidy=1
fi
if [ ${#sources[@]} -eq 0 ]; then
    echo "hanlexo: lint found no C++ file to check" >&2
    exit 1
fi
echo "hanlexo: clang-format check of ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"

changed=()
if [ -n "$in_git" ]; then
    base=$(git merge-base HEAD main 2>/dev/null || true)
    if [ -z "$base" ] || [ "$base" = "$(git rev-parse HEAD)" ]; then
        base=$(git rev-parse --verify -q HEAD~1 || true)
    fi
    mapfile -t changed < <(
        { [ -n "$base" ] && git diff --name-only --diff-filter=d "$base" HEAD; git diff --name-only --diff-filter=d HEAD; } \
            | grep -E '^(src|tests)/.*\.cpp$' | sort -u || true)
fi
candidates=("${changed[@]}")
if [ -n "$all_tidy" ]; then
    mapfile -t candidates < <(
        { printf '%s\n' "${sources[@]}" | grep -E '^src/.*\.cpp$'; printf '%s\n' "${changed[@]}"; } \
            | grep -v '^$' | sort -u)
fi

# Only files the build compiles have compile commands.
if [ ! -f "$build/compile_commands.json" ]; then
    echo "hanlexo: no $build/compile_commands.json: build first (scripts/build.sh $build)" >&2
    exit 1
fi
tidy=()
for file in "${candidates[@]}"; do
    grep -q "\"file\": \"$PWD/$file\"" "$build/compile_commands.json" && tidy+=("$file")
done
if [ -n "$all_tidy" ] && [ ${#tidy[@]} -eq 0 ]; then
    echo "hanlexo: clang-tidy found none of src/ in $build/compile_commands.json" >&2
    exit 1
fi
if [ ${#tidy[@]} -eq 0 ]; then
    echo "hanlexo: clang-tidy: no changed source file to check"
else
    echo "hanlexo: clang-tidy on ${#tidy[@]} files"
    start=$SECONDS
    printf '%s\0' "${tidy[@]}" \
        | xargs -0 -n 1 -P "$(nproc)" clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null
    echo "hanlexo: clang-tidy took $((SECONDS - start)) s"
fi
echo "hanlexo: lint passed"
