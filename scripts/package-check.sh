#!/usr/bin/env bash
# Builds the Debian package in Release and checks it: lintian (no error, no warning), the AppStream
# metainfo, the desktop entry and both manual pages. Kept apart from the test command: lintian and
# its Perl modules are a large install.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh lintian desktop-file-utils appstream man-db
scripts/build.sh build-rel -DCMAKE_BUILD_TYPE=Release -DHANLEXO_BUILD_TESTS=OFF
rm -f build-rel/hanlexo-vocab_*.deb
(cd build-rel && cpack -G DEB)
package=$(ls build-rel/hanlexo-vocab_*.deb)

echo "hanlexo: lintian $package"
lintian --fail-on error,warning "$package"
appstreamcli validate --no-net build-rel/packaging/org.example.hanlexo.vocab.metainfo.xml
desktop-file-validate packaging/org.example.hanlexo.vocab.desktop
for page in hanlexo-vocab hanlexo-lesson; do
    # man prints what groff finds wrong in a page; a clean page prints nothing on stderr.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "build-rel/packaging/man/$page.1.gz" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "hanlexo: $page.1: $warnings" >&2
        exit 1
    fi
done
echo "hanlexo: package checks passed"
