#!/usr/bin/env bash
# Sets everything up and makes the Debian package in build-deb/: a Release build of the programs
# alone (no tests, no benchmarks), packaged by cpack. dpkg-dev and file give the package its
# library dependencies. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh dpkg-dev file
scripts/build.sh build-deb -DCMAKE_BUILD_TYPE=Release -DHANLEXO_BUILD_TESTS=OFF \
    -DHANLEXO_BUILD_BENCH=OFF -DHANLEXO_FUZZ=OFF -DHANLEXO_SANITIZE=OFF
rm -f build-deb/hanlexo-vocab_*.deb
(cd build-deb && cpack -G DEB)
ls "$PWD"/build-deb/hanlexo-vocab_*.deb
