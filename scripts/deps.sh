#!/usr/bin/env bash
# deps.sh [package...]: installs, when missing, the Debian packages that building and running the
# programs need, and the ones given (what a script needs beyond that).
set -euo pipefail

packages=(cmake make g++ qt6-base-dev libgl-dev libxcb1-dev libfontconfig-dev zlib1g-dev fonts-noto-cjk
    fonts-liberation fonts-croscore "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "hanlexo: all needed packages are installed"
    exit 0
fi

echo "hanlexo: installing ${missing[*]}"
. "$(dirname "$0")/as-root.sh" "install: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
