# Sourced by the scripts that need root: ". scripts/as-root.sh WHAT" sets as_root to what runs a
# command as root (nothing for root, sudo for another user), or stops saying that WHAT needs it.
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "hanlexo: run as root, or install sudo, to $1" >&2
    exit 1
fi
