#!/bin/bash
# Cold runs on a disk that says it spins and answers like one: TREE is copied into an ext4
# image, the image is kept in a folder seen through bench/delay_fs.py (every read waits MS
# milliseconds, one read at a time, as a head that must move), attached as a loop device marked
# rotational, and searched by pairscout-cli -v (its disk decision is printed) and jdupes, the
# page cache dropped before each run.
#
# usage: sudo bench/slow_disk.sh TREE [MS]     (MS default 4; needs Debian's python3-fusepy)
#        CLI=path/to/pairscout-cli (default build-rel/cli/pairscout-cli)
set -euo pipefail
tree=${1:?usage: bench/slow_disk.sh TREE [MS]}
ms=${2:-4}
here=$(dirname "$(realpath "$0")")
cli=$(realpath "${CLI:-build-rel/cli/pairscout-cli}")
back=/tmp/slow-disk-back
seen=/tmp/slow-disk-seen
mnt=/tmp/slow-disk
mkdir -p "$back" "$seen" "$mnt"

# The image is filled at full speed; only the searches go through the waiting folder.
size=$(( $(du -sm "$tree" | cut -f1) * 13 / 10 + 200 ))
truncate -s "${size}M" "$back/disk.img"
mkfs.ext4 -q -F "$back/disk.img"
mount -o loop "$back/disk.img" "$mnt"
cp -a "$tree" "$mnt/tree"
umount "$mnt"

/usr/bin/python3 "$here/delay_fs.py" "$back" "$seen" "$ms" &
fs=$!
dev=
cleanup() {
    umount "$mnt" 2>/dev/null || true
    [ -n "$dev" ] && losetup -d "$dev" 2>/dev/null || true
    fusermount -u "$seen" 2>/dev/null || umount "$seen" 2>/dev/null || true
    kill "$fs" 2>/dev/null || true
    rm -f "$back/disk.img"
}
trap cleanup EXIT
for _ in $(seq 50); do mountpoint -q "$seen" && break; sleep 0.1; done
dev=$(losetup --find --show "$seen/disk.img")
echo 1 > "/sys/block/${dev#/dev/}/queue/rotational"
mount -o ro "$dev" "$mnt"

# Runs "$@" cold; prints its wall and CPU time.
cold() {
    sync
    echo 3 > /proc/sys/vm/drop_caches
    /usr/bin/time -o /tmp/slow-disk-time.txt -f "%e s wall, %U + %S s CPU" "$@" \
        > /dev/null 2> /tmp/slow-disk-err.txt || true
    cat /tmp/slow-disk-time.txt
}

echo "disk: $dev (rotational), every read waits $ms ms, one at a time; tree: $tree"
echo "pairscout-cli -v:"
cold "$cli" -v "$mnt/tree"
grep -a -E "(Disk|磁盘) " /tmp/slow-disk-err.txt || true
echo "jdupes -r -q:"
cold jdupes -r -q "$mnt/tree"
