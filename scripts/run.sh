#!/usr/bin/env bash
# Sets everything up, builds, and opens the program on the bundled sample lessons.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "hanlexo: no display found; start it under a virtual one with: xvfb-run -a scripts/run.sh (apt-get install xvfb)"
    exit 1
fi
echo "hanlexo: opening the program on the lessons in lessons/"
cd lessons
exec ../build/hanlexo-vocab
