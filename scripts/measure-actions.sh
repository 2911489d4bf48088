#!/usr/bin/env bash
# Measures the command line's space-freeing actions on a tree of 1 GiB of copies: 16 files of
# 64 MiB, each with one copy, on a loop-mounted file system made for the run. Prints, per
# method, the bytes freed as the file system reports them (df before and after) and the time
# the command took. Needs root, xfsprogs and btrfs-progs.
#   scripts/measure-actions.sh build/cli/pairscout-cli [NAME-PART]   (only the runs so named)
set -euo pipefail
cli="$(realpath "${1:-build/cli/pairscout-cli}")"
only="${2:-}"
work="$(mktemp -d)"
trap 'umount -l "$work"/mnt 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/mnt"

make_tree() {
    mkdir -p "$1/keep" "$1/copies"
    for i in $(seq 1 16); do
        head -c $((64 << 20)) /dev/urandom > "$1/keep/f$i"
        cp --reflink=never "$1/keep/f$i" "$1/copies/f$i"
    done
    sync
}

free_bytes() { sync; df -B1 --output=avail "$1" | tail -1; }

run() {  # name, fs type, mkfs options, action arguments...
    local name=$1 type=$2 opts=$3
    shift 3
    [[ -z $only || $name == *"$only"* ]] || return 0
    rm -f "$work/image"
    truncate -s 3G "$work/image"
    "mkfs.$type" -q $opts "$work/image" >/dev/null
    mount -o loop "$work/image" "$work/mnt"
    make_tree "$work/mnt/tree"
    echo 3 > /proc/sys/vm/drop_caches 2>/dev/null || true
    local before after start end
    before=$(free_bytes "$work/mnt")
    start=$(date +%s.%N)
    "$cli" --keep "path:$work/mnt/tree/keep" "$@" "$work/mnt/tree" >/dev/null 2>"$work/err" ||
        { cat "$work/err"; }
    end=$(date +%s.%N)
    after=$(free_bytes "$work/mnt")
    printf '%-22s freed %12d bytes (%6.1f MiB) in %6.2f s   [%s]\n' "$name" \
        $((after - before)) "$(echo "($after - $before) / 1048576" | bc -l)" \
        "$(echo "$end - $start" | bc -l)" "$(grep -v '^发现' "$work/err" | tr '\n' ' ')"
    umount "$work/mnt"
}

run "hard link (ext4)" ext4 "-F" --link hard
run "hard link (XFS)" xfs "-m reflink=1" --link hard
run "clone (XFS reflink)" xfs "-m reflink=1" --link clone
run "clone (Btrfs)" btrfs "" --link clone
run "move-to (XFS)" xfs "-m reflink=1" --move-to "$work/mnt/aside"
run "delete (XFS)" xfs "-m reflink=1" --delete --yes
