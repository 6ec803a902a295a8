#!/usr/bin/env bash
# Sets everything up, builds the two programs and opens the window on the bundled sample lessons.
set -euo pipefail
cd "$(dirname "$0")/.."
# Before anything is installed or built: without a display all of that would be for nothing.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "hanlexo: no display found; start it under a virtual one with: xvfb-run -a scripts/run.sh (apt-get install xvfb)" >&2
    exit 1
fi
scripts/deps.sh
# Only the two programs; scripts/test.sh builds the rest in the same build/, where the program
# stays since a copy keeps its settings beside its executable.
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- --target hanlexo-vocab hanlexo-lesson
echo "hanlexo: opening the program on the lessons in lessons/"
cd lessons
exec ../build/hanlexo-vocab
