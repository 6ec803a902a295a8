#!/usr/bin/env bash
# package-check.sh [--new-root]: makes the Debian package with scripts/package.sh and checks it.
#  - lintian -I --pedantic finds nothing but the tags of packaging/lintian-allowed-tags, each
#    there for its reason; the AppStream metainfo, the desktop entry and both manual pages are valid;
#  - installed with apt-get into a fresh minimal Debian root (debootstrap --variant=minbase from the
#    Debian mirror this machine installs from), which brings in only the package's dependencies,
#    both programs start, as root and as an ordinary user: hanlexo-lesson --version and verifier
#    on the installed sample lessons, and hanlexo-vocab on a copy of them, its window shown on a
#    virtual display of this machine; removed again, the package leaves nothing behind.
# The bootstrapped root is kept as a tarball in ~/.cache/hanlexo-vocab/ and made anew after 30
# days, or with --new-root. Needs root, or sudo, for debootstrap, chroot and mount. Kept apart from
# the test command: lintian and the root are large downloads. Run it before each release.
set -euo pipefail
cd "$(dirname "$0")/.."

new_root=
if [ "${1:-}" = --new-root ]; then
    new_root=1
elif [ $# -gt 0 ]; then
    echo "usage: scripts/package-check.sh [--new-root]" >&2
    exit 2
fi
. scripts/as-root.sh "make the fresh root (debootstrap, chroot, mount)"
started=$SECONDS

scripts/deps.sh lintian desktop-file-utils appstream man-db debootstrap xvfb xdotool x11-utils
scripts/package.sh
package=$(ls "$PWD"/build-deb/hanlexo-vocab_*.deb)
work=$(realpath "$(mktemp -d "${TMPDIR:-/var/tmp}/hanlexo-package-check.XXXXXX")")
root=$work/root
xvfb_pid=
cleanup() {
    local status=$?
    set +e
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    # Whatever still runs inside the root, then its mounts, before anything there is deleted.
    if [ -d "$root" ]; then
        "${as_root[@]}" sh -c 'for process in /proc/[0-9]*; do
            [ "$(readlink "$process/root" 2>/dev/null)" = "$1" ] && kill -9 "${process#/proc/}"
        done' sh "$root" 2>/dev/null
        for mount in "$root/tmp/.X11-unix" "$root/proc"; do
            mountpoint -q "$mount" && "${as_root[@]}" umount "$mount"
        done
        if ! grep -q " $root/" /proc/mounts; then
            "${as_root[@]}" rm -rf --one-file-system "$work"
        else
            echo "hanlexo: still mounted under $root, left in place" >&2
        fi
    else
        rm -rf "$work"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "hanlexo: lintian -I --pedantic $(basename "$package")"
lintian -I --pedantic --fail-on none "$package" | tee "$work/lintian"
mapfile -t allowed < <(grep -Ev '^(#|$)' packaging/lintian-allowed-tags)
unexpected=$(grep -E '^[EWIPX]: ' "$work/lintian" \
    | grep -Ev "^[A-Z]: [^ ]+: ($(IFS='|'; echo "${allowed[*]}"))( |$)" || true)
if [ -n "$unexpected" ]; then
    echo "hanlexo: lintian tags that packaging/lintian-allowed-tags does not allow:" >&2
    echo "$unexpected" >&2
    exit 1
fi
# An allowance no longer needed goes, so that the list stays the reasons of today's package.
for tag in "${allowed[@]}"; do
    if ! grep -Eq "^[A-Z]: [^ ]+: $tag( |$)" "$work/lintian"; then
        echo "hanlexo: lintian no longer reports $tag: take it out of packaging/lintian-allowed-tags" >&2
        exit 1
    fi
done
appstreamcli validate --no-net build-deb/packaging/org.example.hanlexo.vocab.metainfo.xml
desktop-file-validate packaging/org.example.hanlexo.vocab.desktop
for page in hanlexo-vocab hanlexo-lesson; do
    # man prints what groff finds wrong in a page; a clean page prints nothing on stderr.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "build-deb/packaging/man/$page.1.gz" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "hanlexo: $page.1: $warnings" >&2
        exit 1
    fi
done
echo "hanlexo: package files checked ($((SECONDS - started)) s)"

# The root is this machine's release, from the mirror its apt sources name for it: one-line
# entries ("deb [options] URI suite ...") first, then deb822 stanzas (Types, URIs, Suites).
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
arch=$(dpkg --print-architecture)
mirror=
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    mirror=$(sed -E 's/#.*//; s/\[[^]]*\]//' "$list" \
        | awk -v suite="$suite" '$1 == "deb" && $3 == suite { print $2; exit }')
    [ -n "$mirror" ] && break
done
if [ -z "$mirror" ]; then
    for list in /etc/apt/sources.list.d/*.sources; do
        [ -f "$list" ] || continue
        mirror=$(awk -v suite="$suite" '
            BEGIN { RS = "" }
            {
                types = ""; uris = ""; suites = ""; enabled = "yes"
                n = split($0, lines, "\n")
                for (i = 1; i <= n; i++) {
                    line = lines[i]
                    if (line ~ /^#/) continue
                    field = tolower(line); sub(/:.*/, "", field)
                    value = line; sub(/^[^:]*:[ \t]*/, "", value)
                    if (field == "types") types = " " value " "
                    else if (field == "uris") uris = value
                    else if (field == "suites") suites = " " value " "
                    else if (field == "enabled") enabled = value
                }
                if (enabled != "no" && types ~ / deb / && suites ~ (" " suite " ")) {
                    split(uris, first, " "); print first[1]; exit
                }
            }' "$list")
        [ -n "$mirror" ] && break
    done
fi
if [ -z "$mirror" ]; then
    echo "hanlexo: no Debian source for $suite in /etc/apt/sources.list or /etc/apt/sources.list.d/" >&2
    exit 1
fi

cache_dir=${XDG_CACHE_HOME:-$HOME/.cache}/hanlexo-vocab
cache=$cache_dir/debian-$suite-$arch-minbase.tar.gz
step=$SECONDS
if [ -n "$new_root" ] || [ ! -f "$cache" ] || [ -n "$(find "$cache" -mtime +30)" ]; then
    echo "hanlexo: making a minimal Debian $suite root with debootstrap, from this machine's mirror"
    "${as_root[@]}" debootstrap --variant=minbase --arch="$arch" "$suite" "$root" "$mirror" \
        >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log" >&2; exit 1; }
    "${as_root[@]}" chroot "$root" apt-get clean
    mkdir -p "$cache_dir"
    "${as_root[@]}" tar -C "$root" -czf "$cache.tmp" .
    "${as_root[@]}" mv "$cache.tmp" "$cache"
    echo "hanlexo: root made and kept in $cache ($((SECONDS - step)) s)"
else
    echo "hanlexo: minimal Debian $suite root from $cache"
    "${as_root[@]}" mkdir "$root"
    "${as_root[@]}" tar -C "$root" -xzf "$cache"
fi

in_root() {
    "${as_root[@]}" chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
as_learner() {
    "${as_root[@]}" chroot --userspec=learner:learner "$root" /usr/bin/env -i \
        PATH=/usr/bin:/bin HOME=/home/learner LANG=C.UTF-8 "$@"
}
# Everything in the root but what apt, the logs and the programs' runs may change.
root_files() {
    in_root find / -xdev | grep -Ev '^/(tmp|var/cache/apt|var/lib/apt|var/log|root/chinois|home/learner/chinois)(/|$)' | sort
}
"${as_root[@]}" mount -t proc proc "$root/proc"
"${as_root[@]}" mkdir -p "$root/tmp/.X11-unix"
"${as_root[@]}" mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
"${as_root[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"
"${as_root[@]}" cp "$package" "$root/tmp/"
in_root useradd --create-home --shell /bin/sh learner
in_root dpkg-query -W -f '${Package}\n' | sort >"$work/packages-before"
root_files >"$work/files-before"

echo "hanlexo: apt-get install ./$(basename "$package") in the fresh root"
step=$SECONDS
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$package")" \
    >"$work/install.log" 2>&1 || { tail -30 "$work/install.log" >&2; exit 1; }
added=$(comm -13 "$work/packages-before" <(in_root dpkg-query -W -f '${Package}\n' | sort) | wc -l)
echo "hanlexo: installed with $((added - 1)) packages it depends on ($((SECONDS - step)) s)"
in_root dpkg-query -W -f '  Depends: ${Depends}\n' hanlexo-vocab

version=$(sed -nE 's/^project\(hanlexo_vocab VERSION ([^ ]+) .*/\1/p' CMakeLists.txt)
for user in root learner; do
    if [ $user = root ]; then run=(in_root); else run=(as_learner); fi
    said=$("${run[@]}" hanlexo-lesson --version 2>&1) || true
    echo "hanlexo: as $user, hanlexo-lesson --version: $said"
    if [ "$said" != "hanlexo-lesson $version" ]; then
        echo "hanlexo: \"hanlexo-lesson $version\" expected" >&2
        exit 1
    fi
    "${run[@]}" sh -c 'hanlexo-lesson verifier /usr/share/hanlexo-vocab/lessons/*.txt' >/dev/null
    echo "hanlexo: as $user, hanlexo-lesson verifier passes the installed sample lessons"
done

# The host's virtual display, reached through the bound socket directory.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display=:$(head -n 1 "$work/display")
# As a learner starts it (see the README): in a folder of their own holding copies of the sample
# lessons, in a session with its runtime directory.
start_program='
    mkdir -p "$XDG_RUNTIME_DIR" ~/chinois && chmod 700 "$XDG_RUNTIME_DIR"
    cp /usr/share/hanlexo-vocab/lessons/*.txt ~/chinois/
    echo $$ >"/tmp/vocab-$(id -un).pid"
    cd ~/chinois && exec hanlexo-vocab >"/tmp/vocab-$(id -un).log" 2>&1'
for user in root learner; do
    if [ $user = root ]; then run=(in_root); else run=(as_learner); fi
    step=$SECONDS
    # The shell around it would report the end of the program: only the program's words count.
    "${run[@]}" DISPLAY="$display" XDG_RUNTIME_DIR="/tmp/runtime-$user" sh -c "$start_program" \
        2>/dev/null &
    program=$!
    if ! window=$(DISPLAY=$display timeout 30 xdotool search --sync --onlyvisible --name '^Hanlexo - vocab'); then
        echo "hanlexo: as $user, no window of hanlexo-vocab shown within 30 s:" >&2
        cat "$root/tmp/vocab-$user.log" >&2
        exit 1
    fi
    DISPLAY=$display xwininfo -id "$window" | grep -E 'xwininfo|Width|Height|Map State' | sed 's/^ */  /'
    # The shell wrote its process number, which the program took over.
    "${as_root[@]}" kill "$(cat "$root/tmp/vocab-$user.pid")"
    wait "$program" || true
    echo "hanlexo: as $user, hanlexo-vocab showed its window ($((SECONDS - step)) s)"
    if [ -s "$root/tmp/vocab-$user.log" ]; then
        echo "hanlexo: as $user, hanlexo-vocab said:" >&2
        cat "$root/tmp/vocab-$user.log" >&2
        exit 1
    fi
done

echo "hanlexo: apt-get purge hanlexo-vocab, then autoremove --purge"
in_root apt-get purge -y -qq hanlexo-vocab >>"$work/install.log" 2>&1
in_root apt-get autoremove --purge -y -qq >>"$work/install.log" 2>&1
if ! diff <(in_root dpkg-query -W -f '${Package}\n' | sort) "$work/packages-before"; then
    echo "hanlexo: the root's packages differ from before the install (<: more, >: fewer)" >&2
    exit 1
fi
if ! diff <(root_files) "$work/files-before"; then
    echo "hanlexo: the root's files differ from before the install (<: more, >: fewer)" >&2
    exit 1
fi
echo "hanlexo: nothing left: the root's packages and files are those before the install"
echo "hanlexo: package checks passed ($((SECONDS - started)) s)"
